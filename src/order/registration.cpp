#include "registration.h"

#include "archive.h"
#include "basket.h"
#include "crashpoint.h"
#include "order.h"

#include "datafiles/records.h"
#include "datafiles/textfile.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace core {
namespace {

using datafiles::Failure;

// The list step: the list cut back to its length before the append, and the
// line appended. Where the list holds the line there already, the step was
// done; where the list has changed otherwise since (it is shorter, or holds
// something else there), nothing of it is cut and the line goes at its end.
std::optional<Failure> completeListAppend(const QString& list, const RegistrationPlan& plan)
{
    const qint64 size = std::max<qint64>(datafiles::fileSize(list), 0);
    const qint64 length = plan.listLengthBefore;
    const QByteArray& line = plan.listAppend;
    if (size >= length) {
        QByteArray there;
        QFile file(list);
        if (size > length && !datafiles::openToRead(file) && file.seek(length))
            there = file.read(std::min<qint64>(size - length, line.size() + 1));
        if (there == line && size == length + line.size())
            return std::nullopt;
        if (size == length)
            return datafiles::appendExactly(list, line);
        if (line.startsWith(there) && size <= length + line.size())
            return datafiles::writeAt(list, length, line);
    }
    const QByteArray ownLine = line.startsWith("\r\n") ? line.mid(2) : line;
    return datafiles::appendRecords(list, ownLine, orderListFields).failure;
}

BegunRegistration begin(const datafiles::DataDirectory& data, RegistrationPlan plan)
{
    BegunRegistration begun;
    // What the steps will write goes to the disk before the first of them;
    // should the program stop part-way, the next start completes them.
    const QString journal = data.registrationJournal();
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

} // namespace

BegunRegistration beginRegistration(const datafiles::DataDirectory& data, const Order& order)
{
    const QString orderNumber = order.text(Order::OrderNumber);
    const std::optional<QString> customerFile = data.archiveCustomerFile(orderNumber);
    const std::optional<QString> headFile = data.archiveOrderHeadFile(orderNumber);
    const std::optional<QString> linesFile = data.archiveLinesFile(orderNumber);
    if (!customerFile || !headFile || !linesFile)
        return { {},
                 datafiles::refusedByRule(QStringLiteral("arkivera ordern"), {}, datafiles::noFileNamed(orderNumber)),
                 {} };
    if (std::optional<Failure> refused = refuseLinks({ data.registrationJournal(), data.orderNumberFile(),
                                                       *customerFile, *headFile, *linesFile, data.orderList() }))
        return { {}, refused, {} };

    if (std::optional<Failure> failure = finishEarlierRegistration(data))
        return { {}, failure, {} };

    // A list that ends inside a record would have the order's line join the
    // cut record: the record is set aside and the list cut back to its whole
    // records before the line's place is planned.
    const QString list = data.orderList();
    const datafiles::RecordAppend cut = datafiles::setAsideCutRecord(list, orderListFields);
    if (cut.failure)
        return { {}, cut.failure->during(QStringLiteral("föra in ordern i orderlistan")), {} };

    RegistrationPlan plan;
    plan.orderNumber = orderNumber;
    plan.orderNumberFile = datafiles::plainLine(orderNumber);
    plan.archiveCustomer = archiveCustomerBytes(order);
    plan.archiveOrderHead = archiveOrderHeadBytes(order);
    plan.archiveLines = basketRecords(order.lines());
    plan.listLengthBefore = std::max<qint64>(datafiles::fileSize(list), 0);
    plan.listAppend = datafiles::bytesToAppend(list, orderListLine(order));
    BegunRegistration begun = begin(data, std::move(plan));
    if (!cut.setAside.isEmpty())
        begun.setAside = datafiles::cutRecordSetAside(QStringLiteral("läsa listan över utskrivna order till slut"),
                                                      list, cut.setAside);
    return begun;
}

std::optional<Failure> carryOut(const datafiles::DataDirectory& data, const RegistrationPlan& plan)
{
    const QString& number = plan.orderNumber;
    const QString numberFile = data.orderNumberFile();
    if (std::optional<Failure> failure = datafiles::replaceFile(numberFile, plan.orderNumberFile))
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
    if (std::optional<Failure> failure = carryOut(data, plan))
        return failure;
    // The registration is whole. A journal that stayed behind would only be
    // completed again, to the same bytes.
    datafiles::removeFile(data.registrationJournal());
    crashPoint(CrashPoint::JournalRemoved);
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
    const QString journal = data.registrationJournal();
    const QString operation = QStringLiteral("slutföra en avbruten registrering");
    if (std::optional<Failure> refused = datafiles::refuseLink(journal)) {
        completion.failure = refused->during(operation);
        return completion;
    }
    if (!datafiles::isFile(journal))
        return completion;
    const datafiles::ReadResult read = datafiles::readWholeFile(journal);
    if (!read.ok()) {
        completion.failure = read.failure->during(operation);
        return completion;
    }
    if (const std::optional<RegistrationPlan> plan = decodeJournal(read.bytes)) {
        if (std::optional<Failure> failure = carryOut(data, *plan)) {
            completion.failure = failure;
            return completion;
        }
        completion.completedOrder = plan->orderNumber;
    }
    if (std::optional<Failure> failure = datafiles::removeFile(journal))
        completion.failure = failure->during(QStringLiteral("ta bort registreringsjournalen"));
    return completion;
}

std::optional<QString> unfinishedRegistrationNumber(const datafiles::DataDirectory& data)
{
    const QString journal = data.registrationJournal();
    if (!datafiles::isFile(journal))
        return std::nullopt;
    const datafiles::ReadResult read = datafiles::readWholeFile(journal);
    if (!read.ok())
        return std::nullopt;
    if (const std::optional<RegistrationPlan> plan = decodeJournal(read.bytes))
        return plan->orderNumber;
    return std::nullopt;
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
