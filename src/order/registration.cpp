#include "registration.h"

#include "basket.h"
#include "crashpoint.h"
#include "order.h"

#include "datafiles/codepage.h"
#include "datafiles/records.h"
#include "datafiles/textfile.h"

#include <QDir>

namespace core {
namespace {

// The two fixed pieces the order-list line is assembled from.
const QString listQuote = QStringLiteral("\"");
const QString listSeparator = QStringLiteral("\",\"");

QByteArray plainLines(const Order& order, std::initializer_list<Order::Field> fields)
{
    QByteArray bytes;
    for (Order::Field field : fields)
        bytes += datafiles::plainLine(order.text(field));
    return bytes;
}

} // namespace

QByteArray archiveCustomerBytes(const Order& order)
{
    return plainLines(
        order,
        { Order::CustomerNumber, Order::CustomerLine1, Order::CustomerLine2, Order::CustomerLine3, Order::Info });
}

QByteArray archiveOrderHeadBytes(const Order& order)
{
    return plainLines(order,
                      { Order::OrderNumber, Order::DeliveryDate, Order::OrderDate, Order::PaymentTerms,
                        Order::RegistrationNumber, Order::FreightMethod, Order::DeliveryMethod, Order::VatCode });
}

QByteArray orderListLine(const Order& order)
{
    // A double quote inside a value would split it for every reader of the
    // list, so it goes in as the quote rule of the records has it.
    const auto field = [&order](Order::Field f) {
        return datafiles::textForRecord(order.text(f));
    };
    const QString line = listQuote + field(Order::OrderDate) + listSeparator + field(Order::OrderNumber) + listSeparator
        + field(Order::CustomerNumber) + listSeparator + field(Order::CustomerLine1) + listQuote;
    return datafiles::encode1252(line) + "\r\n";
}

BegunRegistration beginRegistration(const datafiles::DataDirectory& data, const Order& order)
{
    BegunRegistration begun;
    const QString journal = data.registrationJournal();
    // A registration that could not be finished earlier is finished first: its
    // journal would otherwise be replaced by this one.
    if (datafiles::isFile(journal)) {
        if ((begun.failure = finishInterruptedRegistration(data).failure))
            return begun;
    }

    const QString orderNumber = order.text(Order::OrderNumber);
    if (!data.archiveCustomerFile(orderNumber) || !data.archiveOrderHeadFile(orderNumber)) {
        begun.failure = Failure { QStringLiteral("arkivera ordern"), {}, noFileNamed(orderNumber) };
        return begun;
    }

    RegistrationPlan& plan = begun.plan;
    plan.orderNumber = orderNumber;
    plan.orderNumberFile = datafiles::plainLine(orderNumber);
    plan.archiveCustomer = archiveCustomerBytes(order);
    plan.archiveOrderHead = archiveOrderHeadBytes(order);
    const QString list = data.orderList();
    plan.listLengthBefore = std::max<qint64>(datafiles::fileSize(list), 0);
    plan.listAppend = datafiles::bytesToAppend(list, orderListLine(order));

    // What the four steps will write goes to the disk before the first of
    // them; should the program stop part-way, the next start completes them.
    if (const QString reason = datafiles::replaceFile(journal, encodeJournal(plan)); !reason.isEmpty())
        begun.failure = Failure { QStringLiteral("påbörja registreringen av ordern"), journal, reason };
    else
        crashPoint("journal");
    return begun;
}

std::optional<Failure> completeRegistration(const datafiles::DataDirectory& data, const RegistrationPlan& plan)
{
    // A step that fails leaves the journal: the registration is completed by
    // the next printing or the next start, once the cause is mended.
    if (std::optional<Failure> failure = carryOut(data, plan))
        return failure;
    // The registration is whole. A journal that stayed behind would only be
    // completed again, to the same bytes.
    datafiles::removeFile(data.registrationJournal());
    crashPoint("journal-removed");
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

QString confirmationText(const Order& order, const QString& savedInsteadOfPrinted)
{
    const QString crlf = QStringLiteral("\r\n");
    QString text = QStringLiteral("Ordernummer: ") + order.text(Order::OrderNumber) + crlf + crlf
        + order.text(Order::CustomerLine1) + crlf + order.text(Order::CustomerLine2) + crlf
        + order.text(Order::CustomerLine3) + crlf + crlf + QStringLiteral("Utskrift pågår...")
        + QString(29, QLatin1Char(' '));
    if (!savedInsteadOfPrinted.isEmpty())
        text += crlf + QStringLiteral("Ingen skrivare finns: ordern är sparad som ")
            + QDir::toNativeSeparators(savedInsteadOfPrinted);
    return text;
}

} // namespace core
