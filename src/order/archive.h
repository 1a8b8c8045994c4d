#pragma once

#include "order.h"

#include "datafiles/datadirectory.h"
#include "datafiles/failure.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The archive of the printed orders: each order's customer file
// <nr>_data1.dbf and head file <nr>_data2.dbf, a plain line a field, and the
// order list lista.dbf, a quoted record of four fields an order. The layouts
// are written and read here, from the same tables. The order's lines stay in
// its basket file.
namespace core {

// The archive customer file: customer number, the three customer lines and the
// info, a plain line each.
QByteArray archiveCustomerBytes(const Order& order);
// The archive order-head file: order number, delivery date, order date,
// payment terms, registration number, freight, delivery, VAT code. This is the
// order the archive has always had, not the order of the printed form.
QByteArray archiveOrderHeadBytes(const Order& order);
// The order's line in the order list: order date, order number, customer number
// and the first customer line, each in double quotes, comma-separated, CR LF.
QByteArray orderListLine(const Order& order);
inline constexpr int orderListFields = 4;

// One line of the order list.
struct OrderListEntry
{
    QString orderDate;
    QString orderNumber;
    QString customerNumber;
    QString customerName; // the first customer line

    bool operator==(const OrderListEntry&) const = default;
};

struct OrderListRead
{
    QList<OrderListEntry> entries; // the complete records, in file order
    bool missing = false; // no order has been printed yet
    QString file;
    std::optional<datafiles::Failure> failure; // the list is there but cannot be read
    std::optional<datafiles::Failure> cutShort; // it ends inside a record: what to tell the operator
};

OrderListRead readOrderList(const datafiles::DataDirectory& data);

// The order number of each complete record of order-list bytes, in file
// order. Returns how many bytes the complete records take, where a reader of
// a list that has grown since goes on.
qsizetype forEachListedNumber(QByteArrayView bytes, const std::function<void(QByteArrayView number)>& each);

// A printed order as its files hold it. What a file lacks stays empty; each
// missing, unreadable or cut file is named in `problems`, in the operator's
// words, so that what is known can still be shown and copied.
struct ArchivedOrder
{
    Order order;
    QStringList problems;
};

ArchivedOrder readArchivedOrder(const datafiles::DataDirectory& data, const QString& orderNumber);

} // namespace core
