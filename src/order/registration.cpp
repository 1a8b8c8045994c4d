#include "registration.h"

#include "basket.h"
#include "numbering.h"
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

std::optional<Failure> registerOrder(const datafiles::DataDirectory& data, const Order& order)
{
    const QString orderNumber = order.text(Order::OrderNumber);
    if (std::optional<Failure> failure = recordOrderNumber(data, orderNumber))
        return failure;

    const QString customerOperation = QStringLiteral("arkivera orderns kund");
    const std::optional<QString> customerFile = data.archiveCustomerFile(orderNumber);
    if (!customerFile)
        return Failure { customerOperation, {}, noFileNamed(orderNumber) };
    if (const QString reason = datafiles::replaceFile(*customerFile, archiveCustomerBytes(order)); !reason.isEmpty())
        return Failure { customerOperation, *customerFile, reason };

    const QString headOperation = QStringLiteral("arkivera orderhuvudet");
    const std::optional<QString> headFile = data.archiveOrderHeadFile(orderNumber);
    if (!headFile)
        return Failure { headOperation, {}, noFileNamed(orderNumber) };
    if (const QString reason = datafiles::replaceFile(*headFile, archiveOrderHeadBytes(order)); !reason.isEmpty())
        return Failure { headOperation, *headFile, reason };

    const QString list = data.orderList();
    if (const QString reason = datafiles::appendToFile(list, orderListLine(order)); !reason.isEmpty())
        return Failure { QStringLiteral("föra in ordern i orderlistan"), list, reason };
    return std::nullopt;
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
