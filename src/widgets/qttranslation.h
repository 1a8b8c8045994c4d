#pragma once

#include <QString>

class QCoreApplication;
class QTranslator;

// Qt's own texts, such as the entries of a text box's context menu, in
// Swedish: Qt's translation qt_sv.qm from `folder` (Qt's translations folder
// unless given), installed into the application, which owns it. Where the
// translation is not installed, nothing is installed and Qt's own words stay;
// the program works the same.
QTranslator* installSwedishQtTexts(QCoreApplication& app, const QString& folder = {});

// The words of Qt's file dialog and of its standard buttons that Qt's Swedish
// translation leaves in English ("Look in:", "Computer", "Folder", "Cancel",
// "&Choose", ...), in the program's own Swedish. Installed after Qt's own, into
// the application, which owns it; it answers for those words alone.
QTranslator* installOwnSwedishTexts(QCoreApplication& app);
