// Orderregistrering works on the folder System beside the program.

#include "datafiles/datalock.h"
#include "orderwindow/orderwindow.h"
#include "widgets/messagebox.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orderregistrering"));

    const datafiles::DataDirectory data(QCoreApplication::applicationDirPath());

    QLockFile lock(data.lockFile());
    const datafiles::DataLock taken = datafiles::takeDataLock(lock);
    if (taken != datafiles::DataLock::Taken) {
        if (taken == datafiles::DataLock::HeldByAnotherProgram) {
            MessageBox::show(nullptr, MessageBox::Icon::Critical, programTitle,
                             QStringLiteral("Orderregistrering är redan igång på datamappen %1.\r\n\r\n"
                                            "Arbeta vidare i det fönstret; två program på samma data skulle "
                                            "ge två order samma nummer.")
                                 .arg(QDir::toNativeSeparators(data.systemFolder())));
            return 1;
        }
        MessageBox::show(nullptr, MessageBox::Icon::Critical, programTitle,
                         QStringLiteral("Datamappen %1 saknas eller går inte att skriva i.\r\n\r\n"
                                        "Programmet startar, men order kan inte sparas förrän mappen finns.")
                             .arg(QDir::toNativeSeparators(data.systemFolder())));
    }

    const std::unique_ptr<OrderWindow> window = OrderWindow::create(data);
    window->show();
    return app.exec();
}
