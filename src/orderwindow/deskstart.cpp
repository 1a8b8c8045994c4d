#include "deskstart.h"

#include "datafiles/datalock.h"
#include "datafiles/folderrights.h"
#include "order/recovery.h"
#include "widgets/messagebox.h"

#include <QDir>

DeskStart startDesk(const datafiles::DataDirectory& data, OrderWindow::Clock today)
{
    DeskStart start;
    const QString folder = QDir::toNativeSeparators(data.systemFolder());
    // An account outside the operators' group is told once, at the door, how
    // to be let in, rather than by a failure at every step of an order.
    if (datafiles::lacksRightTo(data.systemFolder())) {
        const QString group = datafiles::groupWithRightTo(data.systemFolder());
        const QString how = group.isEmpty()
            ? QStringLiteral("Be mappens ägare ge ditt konto rätt att läsa och skriva i den.")
            : QStringLiteral("Be en administratör ge ditt konto behörighet med kommandot\r\n\r\n"
                             "adduser %1 %2\r\n\r\nLogga sedan ut och in igen.")
                  .arg(datafiles::accountName(), group);
        MessageBox::show(nullptr, MessageBox::Icon::Critical, programTitle,
                         QStringLiteral("Ditt konto har inte behörighet till datamappen\r\n\r\n%1\r\n\r\n").arg(folder)
                             + how);
        return start;
    }
    datafiles::shareNewFilesWithGroup(data.systemFolder());
    start.lock = std::make_unique<QLockFile>(data.lockFile());
    const datafiles::DataLock taken = datafiles::takeDataLock(*start.lock);
    if (taken == datafiles::DataLock::HeldByAnotherProgram) {
        MessageBox::show(nullptr, MessageBox::Icon::Critical, programTitle,
                         QStringLiteral("Orderregistrering är redan igång på datamappen %1.\r\n\r\n"
                                        "Arbeta vidare i det fönstret; två program på samma data skulle "
                                        "ge två order samma nummer.")
                             .arg(folder));
        return start;
    }
    if (taken == datafiles::DataLock::Unavailable) {
        MessageBox::show(nullptr, MessageBox::Icon::Critical, programTitle,
                         QStringLiteral("Datamappen %1 saknas eller går inte att skriva i.\r\n\r\n"
                                        "Programmet startar, men order kan inte sparas förrän mappen finns.")
                             .arg(folder));
    } else {
        const core::Completion recovery = core::finishInterruptedRegistration(data);
        if (recovery.failure)
            MessageBox::reportFailure(nullptr, *recovery.failure);
        else if (!recovery.completedOrder.isEmpty())
            MessageBox::show(nullptr, MessageBox::Icon::Information, programTitle,
                             QStringLiteral("Programmet avslutades medan order %1 skrevs ut.\r\n\r\n"
                                            "Ordern är nu registrerad: ordernumret, orderns arkivfiler och dess "
                                            "rad i orderlistan är sparade. Se efter att ordern kom ut på "
                                            "skrivaren; annars skriv ut den igen från Orderhistorik (F6).")
                                 .arg(recovery.completedOrder));
    }
    start.window = OrderWindow::create(data, std::move(today));
    return start;
}
