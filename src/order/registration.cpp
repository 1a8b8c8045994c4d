#include "registration.h"

#include "archive.h"
#include "basket.h"
#include "crashpoint.h"
#include "numbering.h"
#include "order.h"

#include "datafiles/codepage.h"
#include "datafiles/datalock.h"
#include "datafiles/records.h"
#include "datafiles/textfile.h"

#include <QDir>
#include <QStringList>

namespace core {
namespace {

using datafiles::Failure;

// The list step. Other desks add their lines too, so the plan knows only
// that its line goes somewhere after the list's length when it was made.
// Where the line stands there at the start of a line, the step was done (no
// other desk lists this number: its claim was this desk's); where the list
// ends in the first part of it, cut short, the rest is written; otherwise the
// line is added at the end, after a record the list was cut short in is set
// aside. A list shorter than that length was changed by hand since, and gets
// the line at its end.
std::optional<Failure> completeListAppend(const QString& list, const RegistrationPlan& plan)
{
    const QByteArray line = plan.listAppend.startsWith("\r\n") ? plan.listAppend.mid(2) : plan.listAppend;
    const qint64 from = plan.listLengthBefore;
    const qint64 size = datafiles::fileSize(list);
    if (size == from)
        return datafiles::appendExactly(list, plan.listAppend);
    if (size > from) {
        // From one byte earlier, to see whether the first place begins a line.
        const datafiles::ReadResult read = datafiles::readWithoutFollowing(list, std::max<qint64>(from - 1, 0));
        if (!read.ok())
            return read.failure;
        const QByteArrayView since = QByteArrayView(read.bytes).sliced(from > 0 ? 1 : 0);
        for (qsizetype at = since.indexOf(line); at >= 0; at = since.indexOf(line, at + 1)) {
            const char before = at > 0 ? since.at(at - 1) : (from > 0 ? read.bytes.at(0) : '\n');
            if (before == '\n')
                return std::nullopt;
        }
        // The last line, when it has no line end yet.
        const qsizetype lastLine = since.lastIndexOf('\n') + 1;
        const QByteArrayView tail = since.sliced(lastLine);
        if (tail.isEmpty())
            return datafiles::appendExactly(list, line);
        const bool startsLine = lastLine > 0 || from == 0 || read.bytes.at(0) == '\n';
        if (startsLine && line.startsWith(tail))
            return datafiles::writeAt(list, from + lastLine, line);
    }
    return datafiles::appendRecords(list, line, orderListFields).failure;
}

// The order-number file step: the order's number, unless the file holds a
// higher one, which another desk registered since.
std::optional<Failure> recordNumberUnlessLower(const QString& numberFile, const RegistrationPlan& plan)
{
    const datafiles::ReadResult current = datafiles::readWithoutFollowing(numberFile);
    if (current.ok()) {
        const std::optional<qint64> recorded = orderNumberValue(datafiles::decode1252(current.bytes));
        const std::optional<qint64> registered = orderNumberValue(plan.orderNumber);
        if (recorded && registered && *recorded >= *registered)
            return std::nullopt;
    }
    return datafiles::replaceFile(numberFile, plan.orderNumberFile);
}

BegunRegistration begin(const datafiles::DataDirectory& data, RegistrationPlan plan)
{
    BegunRegistration begun;
    // What the steps will write goes to the disk before the first of them;
    // should the program stop part-way, the next start completes them.
    const QString journal = data.registrationJournal();
    QDir().mkpath(data.deskFolder());
    if (std::optional<Failure> failure = datafiles::replaceFile(journal, encodeJournal(plan))) {
        begun.failure = failure->during(plan.recordsNumberOnly() ? QStringLiteral("spara ordernumret")
                                                                 : QStringLiteral("påbörja registreringen av ordern"));
        return begun;
    }
    crashPoint(CrashPoint::Journal);
    begun.plan = std::move(plan);
    return begun;
}

// A link where a step would write refuses the whole registration before its
// journal is written, rather than half-way through its steps.
std::optional<Failure> refuseLinks(const QStringList& files)
{
    for (const QString& file : files) {
        if (std::optional<Failure> refused = datafiles::refuseLink(file))
            return refused->during(QStringLiteral("registrera ordern"));
    }
    return std::nullopt;
}

// A registration that could not be finished earlier is finished first: its
// journal would otherwise be replaced by this one.
std::optional<Failure> finishEarlierRegistration(const datafiles::DataDirectory& data)
{
    return completeUnfinishedRegistration(data).failure;
}

// The journals in the desks' folder, with the desk each belongs to, and the
// one the program kept before several desks could share the folder.
QList<std::pair<QString, QString>> journals(const datafiles::DataDirectory& data)
{
    QList<std::pair<QString, QString>> found;
    const QString suffix = datafiles::DataDirectory::journalSuffix();
    const QDir folder(data.deskFolder());
    for (const QString& name : folder.entryList({ u'*' + suffix }, QDir::Files | QDir::System))
        found.append({ folder.filePath(name), name.chopped(suffix.size()) });
    if (datafiles::isFile(data.singleDeskJournal()) || datafiles::refuseLink(data.singleDeskJournal()))
        found.append({ data.singleDeskJournal(), QString() });
    return found;
}

// Carries out and removes the journal at the path, under the lock.
void completeJournal(const datafiles::DataDirectory& data, const QString& journal, Completion& completion)
{
    const QString operation = QStringLiteral("slutföra en avbruten registrering");
    if (std::optional<Failure> refused = datafiles::refuseLink(journal)) {
        completion.failure = refused->during(operation);
        return;
    }
    if (!datafiles::isFile(journal))
        return;
    const datafiles::ReadResult read = datafiles::readWholeFile(journal);
    if (!read.ok()) {
        completion.failure = read.failure->during(operation);
        return;
    }
    if (const std::optional<RegistrationPlan> plan = decodeJournal(read.bytes)) {
        const datafiles::DataLock lock = datafiles::DataLock::take(data, operation);
        if (lock.failure()) {
            completion.failure = lock.failure();
            return;
        }
        if (std::optional<Failure> failure = carryOut(data, *plan)) {
            completion.failure = failure;
            return;
        }
        completion.completedOrders.append(plan->orderNumber);
    }
    if (std::optional<Failure> failure = datafiles::removeFile(journal))
        completion.failure = failure->during(QStringLiteral("ta bort registreringsjournalen"));
}

} // namespace

BegunRegistration beginRegistration(const datafiles::DataDirectory& data, const Order& order)
{
    const QString orderNumber = order.text(Order::OrderNumber);
    const std::optional<QString> customerFile = data.archiveCustomerFile(orderNumber);
    const std::optional<QString> headFile = data.archiveOrderHeadFile(orderNumber);
    const std::optional<QString> linesFile = data.archiveLinesFile(orderNumber);
    if (orderNumber.isEmpty() || !customerFile || !headFile || !linesFile)
        return { {},
                 datafiles::refusedByRule(QStringLiteral("arkivera ordern"), {}, datafiles::noFileNamed(orderNumber)),
                 {} };
    if (std::optional<Failure> refused = refuseLinks({ data.registrationJournal(), data.orderNumberFile(),
                                                       *customerFile, *headFile, *linesFile, data.orderList() }))
        return { {}, refused, {} };
    // Another desk gave its order this number: two orders must never share
    // one, nor their archive files or their basket.
    if (const std::optional<datafiles::DeskRecord> other = claimedElsewhere(data, orderNumber))
        return { {},
                 datafiles::refusedByRule(QStringLiteral("registrera ordern"), *data.claimFile(orderNumber),
                                          QStringLiteral("ordernumret %1 är reserverat av skrivbordet på %2; tryck "
                                                         "Ny (F1) för att ge ordern ett eget nummer")
                                              .arg(orderNumber, other->description())),
                 {} };

    if (std::optional<Failure> failure = finishEarlierRegistration(data))
        return { {}, failure, {} };

    // A list that ends inside a record would have the order's line join the
    // cut record: the record is set aside and the list cut back to its whole
    // records before the line's place is planned.
    const QString list = data.orderList();
    RegistrationPlan plan;
    datafiles::RecordAppend cut;
    if (datafiles::endsPartWayThroughARecord(list, orderListFields)) {
        const datafiles::DataLock lock = datafiles::DataLock::take(data, QStringLiteral("registrera ordern"));
        if (lock.failure())
            return { {}, lock.failure(), {} };
        cut = datafiles::setAsideCutRecord(list, orderListFields);
        if (cut.failure)
            return { {}, cut.failure->during(QStringLiteral("föra in ordern i orderlistan")), {} };
    }
    // Other desks may add lines before this one's: the line goes somewhere
    // after this length.
    plan.listLengthBefore = std::max<qint64>(datafiles::fileSize(list), 0);
    plan.listAppend = datafiles::bytesToAppend(list, orderListLine(order));
    plan.orderNumber = orderNumber;
    plan.orderNumberFile = datafiles::plainLine(orderNumber);
    plan.archiveCustomer = archiveCustomerBytes(order);
    plan.archiveOrderHead = archiveOrderHeadBytes(order);
    plan.archiveLines = basketRecords(order.lines());
    BegunRegistration begun = begin(data, std::move(plan));
    if (!cut.setAside.isEmpty())
        begun.setAside = datafiles::cutRecordSetAside(QStringLiteral("läsa listan över utskrivna order till slut"),
                                                      list, cut.setAside);
    return begun;
}

std::optional<Failure> carryOut(const datafiles::DataDirectory& data, const RegistrationPlan& plan)
{
    const datafiles::DataLock lock = datafiles::DataLock::take(data, QStringLiteral("registrera ordern"));
    if (lock.failure())
        return lock.failure();
    const QString& number = plan.orderNumber;
    const QString numberFile = data.orderNumberFile();
    if (std::optional<Failure> failure = recordNumberUnlessLower(numberFile, plan))
        return failure->during(QStringLiteral("spara ordernumret"));
    crashPoint(CrashPoint::OrderNumber);
    if (plan.recordsNumberOnly())
        return std::nullopt;

    const std::optional<QString> customerFile = data.archiveCustomerFile(number);
    const std::optional<QString> headFile = data.archiveOrderHeadFile(number);
    const std::optional<QString> linesFile = data.archiveLinesFile(number);
    if (!customerFile || !headFile || !linesFile)
        return datafiles::refusedByRule(QStringLiteral("arkivera ordern"), {}, datafiles::noFileNamed(number));
    const struct
    {
        const char* operation;
        QString file;
        const QByteArray& bytes;
        CrashPoint after;
    } archived[] = {
        { "arkivera orderns kund", *customerFile, plan.archiveCustomer, CrashPoint::ArchiveCustomer },
        { "arkivera orderhuvudet", *headFile, plan.archiveOrderHead, CrashPoint::ArchiveHead },
    };
    for (const auto& step : archived) {
        if (std::optional<Failure> failure = datafiles::replaceFile(step.file, step.bytes))
            return failure->during(QString::fromUtf8(step.operation));
        crashPoint(step.after);
    }
    if (plan.archiveLines) {
        if (std::optional<Failure> failure = datafiles::replaceFile(*linesFile, *plan.archiveLines))
            return failure->during(QStringLiteral("arkivera orderraderna"));
    }

    if (std::optional<Failure> failure = completeListAppend(data.orderList(), plan))
        return failure->during(QStringLiteral("föra in ordern i orderlistan"));
    crashPoint(CrashPoint::OrderList);
    return std::nullopt;
}

std::optional<Failure> completeRegistration(const datafiles::DataDirectory& data, const RegistrationPlan& plan)
{
    // A step that fails leaves the journal: the registration is completed by
    // the next registration, "Ny" or the next start, once the cause is mended.
    {
        const datafiles::DataLock lock = datafiles::DataLock::take(data, QStringLiteral("registrera ordern"));
        if (lock.failure())
            return lock.failure();
        // What a desk that went while it registered an order left half done
        // is done before anything else changes.
        completeRegistrationsOfGoneDesks(data);
        if (std::optional<Failure> failure = carryOut(data, plan))
            return failure;
    }
    // The registration is whole. A journal that stayed behind would only be
    // completed again, to the same bytes.
    datafiles::removeFile(data.registrationJournal());
    crashPoint(CrashPoint::JournalRemoved);
    releaseClaim(data, plan.orderNumber);
    return std::nullopt;
}

void abandonRegistration(const datafiles::DataDirectory& data)
{
    datafiles::removeFile(data.registrationJournal());
}

std::optional<Failure> registerOrder(const datafiles::DataDirectory& data, const Order& order)
{
    const BegunRegistration begun = beginRegistration(data, order);
    if (begun.failure)
        return begun.failure;
    return completeRegistration(data, begun.plan);
}

std::optional<Failure> recordOrderNumber(const datafiles::DataDirectory& data, const QString& number)
{
    if (std::optional<Failure> refused = refuseLinks({ data.registrationJournal(), data.orderNumberFile() }))
        return refused;
    if (number.isEmpty())
        return datafiles::refusedByRule(QStringLiteral("spara ordernumret"), {}, datafiles::noFileNamed(number));
    if (std::optional<Failure> failure = finishEarlierRegistration(data))
        return failure;
    RegistrationPlan plan;
    plan.orderNumber = number;
    plan.orderNumberFile = datafiles::plainLine(number);
    const BegunRegistration begun = begin(data, std::move(plan));
    if (begun.failure)
        return begun.failure;
    return completeRegistration(data, begun.plan);
}

Completion completeUnfinishedRegistration(const datafiles::DataDirectory& data)
{
    Completion completion;
    completeJournal(data, data.registrationJournal(), completion);
    return completion;
}

Completion completeRegistrationsOfGoneDesks(const datafiles::DataDirectory& data)
{
    Completion completion;
    for (const auto& [journal, desk] : journals(data)) {
        if (desk.isEmpty() || (desk != data.desk().id() && datafiles::deskIsGone(data, desk)))
            completeJournal(data, journal, completion);
    }
    return completion;
}

std::optional<qint64> highestJournalledNumber(const datafiles::DataDirectory& data)
{
    std::optional<qint64> highest;
    for (const auto& journal : journals(data)) {
        const datafiles::ReadResult read = datafiles::readWithoutFollowing(journal.first);
        const std::optional<RegistrationPlan> plan = read.ok() ? decodeJournal(read.bytes) : std::nullopt;
        const std::optional<qint64> number = plan ? orderNumberValue(plan->orderNumber) : std::nullopt;
        if (number && (!highest || *number > *highest))
            highest = number;
    }
    return highest;
}

Confirmation confirmationOf(const Order& order, const QString& savedInsteadOfPrinted)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString printing = QStringLiteral("Utskrift pågår...");
    const QString head = QStringLiteral("Ordernummer: ") + order.text(Order::OrderNumber) + crlf + crlf
        + order.text(Order::CustomerLine1) + crlf + order.text(Order::CustomerLine2) + crlf
        + order.text(Order::CustomerLine3) + crlf + crlf;
    if (savedInsteadOfPrinted.isEmpty())
        return { printing, head + printing + QString(29, QLatin1Char(' ')) };
    return { QStringLiteral("Ordern är sparad som PDF"),
             head
                 + QStringLiteral("Det finns ingen skrivare att skriva ut på. Ordern är registrerad och sparad som "
                                  "PDF i")
                 + crlf + QDir::toNativeSeparators(savedInsteadOfPrinted) };
}

} // namespace core
