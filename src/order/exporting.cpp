#include "exporting.h"

#include "csvfile.h"
#include "registerediting.h"
#include "registers.h"

#include "datafiles/textfile.h"

namespace core {

QByteArray exportedProducts(const datafiles::RecordTable& products)
{
    QByteArray bytes = spreadsheetStart();
    bytes += SpreadsheetRow().texts({ "Artikelnr", "Benämning", "Enhet", "Pris" }).bytes();
    for (qsizetype r = 0; r < products.recordCount(); ++r) {
        SpreadsheetRow row;
        for (int f = 0; f < productFields; ++f) {
            if (f == priceField)
                row.number(products.field(r, f));
            else
                row.text(products.field(r, f));
        }
        bytes += row.bytes();
    }
    return bytes;
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
    if (std::optional<datafiles::Failure> inside = data.refuseInside(operation, path))
        return inside;
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
        bytes = exportedOrderList(read.list.entries());
        break;
    }
    }
    if (std::optional<datafiles::Failure> failure = datafiles::replaceFile(path, bytes))
        return failure->during(operation);
    return std::nullopt;
}

} // namespace core
