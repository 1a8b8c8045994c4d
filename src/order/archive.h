#pragma once

#include "failure.h"
#include "order.h"

#include "datafiles/datadirectory.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Reading the printed orders back: the order list, and an order from its two
// archive files and its basket file.
namespace core {

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
    bool endsInsideRecord = false;
    QString file;
    std::optional<Failure> failure; // the list is there but cannot be read
    std::optional<Failure> cutShort; // it ends inside a record: what to tell the operator
};

OrderListRead readOrderList(const datafiles::DataDirectory& data);

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
