#include "exporting.h"

#include "registerediting.h"
#include "registers.h"

#include "datafiles/textfile.h"

#include <QRegularExpression>

namespace core {
namespace {

QString cellText(const QString& text)
{
    const bool quote = text.contains(u';') || text.contains(u'"') || text.contains(u'\n') || text.contains(u'\r')
        || (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quote)
        return text;
    QString doubled = text;
    doubled.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

// A stored price with a decimal comma; any other text as it stands.
QString priceForSpreadsheet(const QString& price)
{
    static const QRegularExpression number(QStringLiteral(R"(^-?\d+(\.\d+)?$)"));
    if (!number.match(price).hasMatch())
        return price;
    QString comma = price;
    comma.replace(u'.', u',');
    return comma;
}

} // namespace

QByteArray spreadsheetBytes(const QList<QStringList>& rows)
{
    QString text;
    for (const QStringList& row : rows) {
        QStringList cells;
        cells.reserve(row.size());
        for (const QString& cell : row)
            cells.append(cellText(cell));
        text += cells.join(u';');
        text += QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

QByteArray exportedProducts(const datafiles::RecordTable& products)
{
    QList<QStringList> rows { { "Artikelnr", "Benämning", "Enhet", "Pris" } };
    rows.reserve(products.recordCount() + 1);
    for (qsizetype r = 0; r < products.recordCount(); ++r) {
        QStringList product = products.record(r);
        product[priceField] = priceForSpreadsheet(product.at(priceField));
        rows.append(product);
    }
    return spreadsheetBytes(rows);
}

QByteArray exportedCustomers(const QList<Customer>& customers)
{
    QList<QStringList> rows { { "Kundnr", "Namn", "Adress", "Postadress", "E-post" } };
    for (const Customer& c : customers)
        rows.append({ c.number, c.name, c.address, c.postalAddress, c.email });
    return spreadsheetBytes(rows);
}

QByteArray exportedOrderList(const QList<OrderListEntry>& entries)
{
    QList<QStringList> rows { { "Orderdatum", "Ordernr", "Kundnr", "Namn" } };
    for (const OrderListEntry& e : entries)
        rows.append({ e.orderDate, e.orderNumber, e.customerNumber, e.customerName });
    return spreadsheetBytes(rows);
}

std::optional<datafiles::Failure> exportTo(const datafiles::DataDirectory& data, ExportKind kind, const QString& path)
{
    static const char* const operations[]
        = { "exportera produktregistret", "exportera kunderna", "exportera orderlistan" };
    const QString operation = QString::fromUtf8(operations[size_t(kind)]);
    QByteArray bytes;
    switch (kind) {
    case ExportKind::Products: {
        const RecordsRead read = readProducts(data, WhenMissing::IsEmpty);
        if (read.failure)
            return read.failure->during(operation);
        bytes = exportedProducts(read.records);
        break;
    }
    case ExportKind::Customers: {
        const CustomersRead read = readCustomers(data);
        if (read.failure)
            return read.failure->during(operation);
        if (read.unreadable)
            return read.unreadable->during(operation);
        bytes = exportedCustomers(read.customers);
        break;
    }
    case ExportKind::OrderList: {
        const OrderListRead read = readOrderList(data);
        if (read.failure)
            return read.failure->during(operation);
        bytes = exportedOrderList(read.entries);
        break;
    }
    }
    if (std::optional<datafiles::Failure> failure = datafiles::replaceFile(path, bytes))
        return failure->during(operation);
    return std::nullopt;
}

} // namespace core
