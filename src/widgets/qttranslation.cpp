#include "qttranslation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

QTranslator* installSwedishQtTexts(QCoreApplication& app, const QString& folder)
{
    const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    // The file by its whole name: given a name that is not there, QTranslator
    // would try shorter ones and could load another language's texts.
    const QString file = from + QStringLiteral("/qt_sv.qm");
    if (!QFileInfo(file).isFile())
        return nullptr;
    auto translator = std::make_unique<QTranslator>(&app);
    if (!translator->load(file) || !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator.release();
}
