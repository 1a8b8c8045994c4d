#include "numbering.h"

#include "order.h"
#include "registration.h"

#include "datafiles/codepage.h"
#include "datafiles/records.h"
#include "datafiles/textfile.h"

namespace core {
namespace {

std::optional<qint64> recordedOrderNumber(const QString& content)
{
    const QString digits = content.trimmed();
    if (digits.isEmpty() || digits.size() > 17)
        return std::nullopt;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    return digits.toLongLong();
}

} // namespace

NextNumber nextOrderNumber(const datafiles::DataDirectory& data)
{
    const QString operation = QStringLiteral("läsa det senaste ordernumret");
    const QString path = data.orderNumberFile();
    // A link in its place would hand out numbers from another file, and the
    // printed order could not record its own.
    if (std::optional<datafiles::Failure> refused = datafiles::refuseLink(path))
        return { {}, refused->during(operation) };
    const datafiles::ReadResult file = datafiles::readWholeFile(path);
    if (!file.ok())
        return { {}, file.failure->during(operation) };
    std::optional<qint64> last = recordedOrderNumber(datafiles::decode1252(file.bytes));
    if (!last)
        return { {}, datafiles::refusedByRule(operation, path, QStringLiteral("filen innehåller inget ordernummer")) };
    // An order whose registration stopped at the order-number file may be out
    // on paper already: its number is taken.
    if (const std::optional<QString> unfinished = unfinishedRegistrationNumber(data)) {
        if (const std::optional<qint64> taken = recordedOrderNumber(*unfinished); taken && *taken > *last)
            last = taken;
    }
    return { QString::number(*last + 1), std::nullopt };
}

void startNewOrder(Order& order, const QString& number, const QDate& today)
{
    const QString date = today.toString(QStringLiteral("yyMMdd"));
    order.setText(Order::OrderNumber, number);
    order.setText(Order::DeliveryDate, date);
    order.setText(Order::OrderDate, date);
    order.setText(Order::PaymentTerms, QStringLiteral("0"));
    order.setText(Order::DeliveryMethod, QStringLiteral("0"));
    order.setText(Order::FreightMethod, QStringLiteral("0"));
    order.setText(Order::VatCode, QStringLiteral("0"));
    order.setText(Order::RegistrationNumber, QString());
    order.setText(Order::Lpl, QStringLiteral("411"));
}

Order newOrderFrom(const Order& printed, const Order& current, const QString& number, const QDate& today)
{
    Order order = current;
    startNewOrder(order, number, today);
    for (Order::Field field : { Order::CustomerNumber, Order::CustomerLine1, Order::CustomerLine2, Order::CustomerLine3,
                                Order::Info, Order::PaymentTerms, Order::DeliveryMethod, Order::FreightMethod,
                                Order::RegistrationNumber, Order::VatCode })
        order.setText(field, printed.text(field));
    order.setLines(printed.lines());
    return order;
}

} // namespace core
