#include "numbering.h"

#include "order.h"

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
    const datafiles::ReadResult file = datafiles::readWholeFile(path);
    if (!file.ok())
        return { {}, Failure { operation, path, file.error } };
    const std::optional<qint64> last = recordedOrderNumber(datafiles::decode1252(file.bytes));
    if (!last)
        return { {}, Failure { operation, path, QStringLiteral("filen innehåller inget ordernummer") } };
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

std::optional<Failure> recordOrderNumber(const datafiles::DataDirectory& data, const QString& number)
{
    const QString path = data.orderNumberFile();
    const QString reason = datafiles::replaceFile(path, datafiles::plainLine(number));
    if (!reason.isEmpty())
        return Failure { QStringLiteral("spara ordernumret"), path, reason };
    return std::nullopt;
}

} // namespace core
