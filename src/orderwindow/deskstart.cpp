#include "deskstart.h"

#include "datafiles/datalock.h"
#include "datafiles/folderrights.h"
#include "office/restore.h"
#include "order/recovery.h"
#include "widgets/messagebox.h"

#include <QDir>

namespace {

void tellInterruptedRestore(const office::InterruptedRestore& restore)
{
    using Found = office::InterruptedRestore::Found;
    if (!restore.linksRemoved.isEmpty()) {
        QStringList links;
        for (const QString& link : restore.linksRemoved)
            links.append(QDir::toNativeSeparators(link));
        MessageBox::show(nullptr, MessageBox::Icon::Information, programTitle,
                         QStringLiteral("Bredvid datamappen fanns en symbolisk länk med ett namn som bara en "
                                        "återställning av en säkerhetskopia ger:\r\n\r\n%1\r\n\r\n"
                                        "Programmet följer inte länken. Länken är borttagen; det den pekade "
                                        "på är orört.")
                             .arg(links.join(QStringLiteral("\r\n"))));
    }
    if (restore.failure) {
        MessageBox::reportFailure(nullptr, *restore.failure);
        return;
    }
    if (restore.found == Found::Finished) {
        QString text = QStringLiteral("Programmet avslutades medan en säkerhetskopia återställdes.\r\n\r\n"
                                      "Återställningen är nu klar: mappen System är säkerhetskopians.");
        if (!restore.setAside.isEmpty())
            text += QStringLiteral(" Den tidigare datamappen finns kvar som\r\n%1")
                        .arg(QDir::toNativeSeparators(restore.setAside));
        MessageBox::show(nullptr, MessageBox::Icon::Information, programTitle, text);
    } else if (restore.found == Found::Undone) {
        MessageBox::show(nullptr, MessageBox::Icon::Information, programTitle,
                         QStringLiteral("Programmet avslutades medan en säkerhetskopia packades upp.\r\n\r\n"
                                        "Ingenting återställdes: mappen System är som förut. Återställ "
                                        "säkerhetskopian igen om den ska användas."));
    }
}

// A registration that a stopped run left, completed and told.
void finishInterruptedRegistration(const datafiles::DataDirectory& data)
{
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

} // namespace

DeskStart::DeskStart(datafiles::DataDirectory data, OrderWindow::Clock now)
    : m_data(std::move(data))
    , m_now(std::move(now))
{
}

std::unique_ptr<DeskStart> startDesk(const datafiles::DataDirectory& data, OrderWindow::Clock now)
{
    auto start = std::make_unique<DeskStart>(data, std::move(now));
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
    start->lock = std::make_unique<QLockFile>(data.lockFile());
    datafiles::DataLock taken = datafiles::takeDataLock(*start->lock);
    if (taken == datafiles::DataLock::HeldByAnotherProgram) {
        MessageBox::show(nullptr, MessageBox::Icon::Critical, programTitle,
                         QStringLiteral("Orderregistrering är redan igång på datamappen %1.\r\n\r\n"
                                        "Arbeta vidare i det fönstret; två program på samma data skulle "
                                        "ge två order samma nummer.")
                             .arg(folder));
        return start;
    }
    // A restore stopped between moving System aside and putting the restored
    // folder in its place leaves no System to lock until it is finished.
    tellInterruptedRestore(office::finishInterruptedRestore(data, start->lock.get()));
    if (!start->lock->isLocked())
        taken = datafiles::takeDataLock(*start->lock);
    if (!start->lock->isLocked() && taken == datafiles::DataLock::Unavailable) {
        MessageBox::show(nullptr, MessageBox::Icon::Critical, programTitle,
                         QStringLiteral("Datamappen %1 saknas eller går inte att skriva i.\r\n\r\n"
                                        "Programmet startar, men order kan inte sparas förrän mappen finns.")
                             .arg(folder));
    } else {
        finishInterruptedRegistration(data);
    }
    start->openWindow();
    return start;
}

void DeskStart::openWindow()
{
    window = OrderWindow::create(m_data, m_now, lock.get());
    connect(window.get(), &OrderWindow::dataRestored, this, &DeskStart::startAgain);
}

void DeskStart::startAgain()
{
    // The old window sent the signal: it goes once the new one shows.
    std::unique_ptr<OrderWindow> old = std::move(window);
    finishInterruptedRegistration(m_data);
    openWindow();
    window->show();
    old->hide();
    old.release()->deleteLater();
}
