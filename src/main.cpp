// Orderregistrering works on the folder System beside the program.

#include "orderwindow/deskstart.h"
#include "widgets/qttranslation.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orderregistrering"));
    installSwedishQtTexts(app);
    installOwnSwedishTexts(app);

    const std::unique_ptr<DeskStart> desk = startDesk(datafiles::DataDirectory(QCoreApplication::applicationDirPath()));
    if (!desk->window)
        return 1;
    desk->window->show();
    return app.exec();
}
