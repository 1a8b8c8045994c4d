#pragma once

#include "order.h"

#include "datafiles/datadirectory.h"
#include "datafiles/failure.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <vector>

// The archive of the printed orders: each order's customer file
// <nr>_data1.dbf and head file <nr>_data2.dbf, a plain line a field, and the
// order list lista.dbf, a quoted record of four fields an order. The layouts
// are written and read here, from the same tables. The order's lines as
// printed are kept in <nr>_data3.dbf, as its basket file holds lines.
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

// The order list as read: its bytes, kept as read, and where each complete
// record begins in them; a record's fields are taken from the bytes when they
// are asked for, so that a list of a million orders takes little more memory
// than the file. A record the list ends inside is left out; the complete
// records before it are used.
class OrderList
{
public:
    // The four fields of a record, in the list's bytes.
    using Fields = std::array<QByteArrayView, orderListFields>;
    // Shown each complete record's fields as the list is read, in file order,
    // so that an index of them takes no second pass over the bytes.
    using EachRecord = std::function<void(const Fields&)>;

    OrderList() = default;
    explicit OrderList(QByteArray bytes, const EachRecord& each = {});

    qsizetype size() const { return qsizetype(m_records.size()); }
    bool endsInsideRecord() const { return m_endsInsideRecord; }
    // A record's fields, the records in file order.
    Fields fields(qsizetype record) const;
    OrderListEntry entry(qsizetype record) const;
    QList<OrderListEntry> entries() const;

private:
    QByteArray m_bytes;
    // Where each record starts in m_bytes, the top bit set when it starts a line.
    std::vector<quint32> m_records;
    bool m_endsInsideRecord = false;
};

struct OrderListRead
{
    OrderList list;
    bool missing = false; // no order has been printed yet
    QString file;
    std::optional<datafiles::Failure> failure; // the list is there but cannot be read
    std::optional<datafiles::Failure> cutShort; // it ends inside a record: what to tell the operator
};

OrderListRead readOrderList(const datafiles::DataDirectory& data, const OrderList::EachRecord& each = {});

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
