#include "deskstart.h"

#include "datafiles/folderrights.h"
#include "office/restore.h"
#include "order/recovery.h"
#include "widgets/messagebox.h"

#include <QApplication>
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
                         QStringLiteral("I eller bredvid datamappen fanns en symbolisk länk med ett namn som bara "
                                        "en återställning av en säkerhetskopia ger:\r\n\r\n%1\r\n\r\n"
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
            text += QStringLiteral(" Det som fanns i datamappen förut finns kvar i\r\n%1")
                        .arg(QDir::toNativeSeparators(restore.setAside));
        MessageBox::show(nullptr, MessageBox::Icon::Information, programTitle, text);
    } else if (restore.found == Found::Undone) {
        MessageBox::show(nullptr, MessageBox::Icon::Information, programTitle,
                         QStringLiteral("Programmet avslutades medan en säkerhetskopia packades upp.\r\n\r\n"
                                        "Ingenting återställdes: mappen System är som förut. Återställ "
                                        "säkerhetskopian igen om den ska användas."));
    }
}

// The desk's presence made known and the registrations that stopped desks
// left completed and told; the failure that kept the desk from starting.
std::optional<datafiles::Failure> announce(const datafiles::DataDirectory& data, datafiles::DeskPresence& presence)
{
    const core::DeskStarted start = core::announceDesk(data, presence);
    if (start.failure)
        return start.failure;
    if (start.recovery.failure)
        MessageBox::reportFailure(nullptr, *start.recovery.failure);
    for (const QString& order : start.recovery.completedOrders)
        MessageBox::show(nullptr, MessageBox::Icon::Information, programTitle,
                         QStringLiteral("Programmet avslutades medan order %1 skrevs ut.\r\n\r\n"
                                        "Ordern är nu registrerad: ordernumret, orderns arkivfiler och dess "
                                        "rad i orderlistan är sparade. Se efter att ordern kom ut på "
                                        "skrivaren; annars skriv ut den igen från Orderhistorik (F6).")
                             .arg(order));
    return std::nullopt;
}

} // namespace

bool askToWaitForDesk(const datafiles::DeskRecord& holder, const std::function<bool()>& freed)
{
    return MessageBox::askToWait(QApplication::activeWindow(), programTitle,
                                 QStringLiteral("Ett annat skrivbord arbetar i datamappen: %1.\r\n\r\n"
                                                "Programmet fortsätter när det skrivbordet är klart. Vänta, "
                                                "eller avbryt det du höll på med?")
                                     .arg(holder.description()),
                                 freed);
}

DeskStart::DeskStart(datafiles::DataDirectory data, OrderWindow::Clock now)
    : m_data(std::move(data))
    , m_now(std::move(now))
{
}

DeskStart::~DeskStart()
{
    // The window first: its order lets go of its number's claim while the
    // desk is still present.
    window.reset();
    presence.reset();
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
    data.desk().setLockWait(&askToWaitForDesk);
    // A restore stopped between moving System aside and putting the restored
    // folder in its place leaves no System until it is finished.
    tellInterruptedRestore(office::finishInterruptedRestore(data));
    start->presence = std::make_unique<datafiles::DeskPresence>(data);
    if (const std::optional<datafiles::Failure> failure = announce(data, *start->presence)) {
        if (failure->is(datafiles::FailureKind::Cancelled) || failure->is(datafiles::FailureKind::HeldByAnotherDesk)) {
            MessageBox::reportFailure(nullptr, *failure);
            return start;
        }
        MessageBox::show(nullptr, MessageBox::Icon::Critical, programTitle,
                         QStringLiteral("Datamappen %1 saknas eller går inte att skriva i.\r\n\r\n"
                                        "Programmet startar, men order kan inte sparas förrän mappen finns.")
                             .arg(folder));
        start->m_folderUsable = false;
    }
    start->openWindow();
    return start;
}

void DeskStart::openWindow()
{
    window = OrderWindow::create(m_data, m_now);
    connect(window.get(), &OrderWindow::dataRestored, this, &DeskStart::startAgain);
    // The desk starts with its order numbered, as "Ny" numbers one: a print
    // at once registers the next free number, not one already used.
    if (m_folderUsable) {
        if (const std::optional<datafiles::Failure> failure = window->openOrder().startNew())
            MessageBox::reportFailure(nullptr, *failure);
    }
}

void DeskStart::startAgain()
{
    // The old window sent the signal: it goes once the new one shows. Its
    // order's claim went with the folder it was made on.
    std::unique_ptr<OrderWindow> old = std::move(window);
    old->openOrder().forgetClaim();
    m_folderUsable = !announce(m_data, *presence);
    openWindow();
    window->show();
    old->hide();
    old.release()->deleteLater();
}
