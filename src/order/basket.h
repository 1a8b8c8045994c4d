#pragma once

#include "failure.h"
#include "order.h"

#include "datafiles/datadirectory.h"

#include <QList>
#include <QString>

#include <optional>

// The basket file of an order, System/Order/<order number>.basket.dbf: one
// quoted record of seven texts per order line, in the order of the lines.
namespace core {

// What a line's texts become on their way into a basket record: a double quote
// would end its field early and a line break its record, so they turn into
// "'" and a blank. The order line added to the order carries the same texts.
OrderLine lineForBasket(const OrderLine& line);

// Adds the line's record at the end of the order's basket file, creating it.
std::optional<Failure> appendToBasket(const datafiles::DataDirectory& data, const QString& orderNumber,
                                      const OrderLine& line);

// Replaces the order's basket file with the records of these lines.
std::optional<Failure> rewriteBasket(const datafiles::DataDirectory& data, const QString& orderNumber,
                                     const QList<OrderLine>& lines);

struct BasketRead
{
    QList<OrderLine> lines; // the complete records
    bool missing = false; // no basket file: the order never had a line
    bool endsInsideRecord = false;
    QString file;
    std::optional<Failure> failure; // the file is there but cannot be read
    std::optional<Failure> cutShort; // it ends inside a record: what to tell the operator
};

BasketRead readBasket(const datafiles::DataDirectory& data, const QString& orderNumber);

// The reason given when the order number cannot name a file.
QString noFileNamed(const QString& orderNumber);

} // namespace core
