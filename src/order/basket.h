#pragma once

#include "order.h"

#include "datafiles/datadirectory.h"
#include "datafiles/failure.h"

#include <QByteArray>
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

struct BasketAppend
{
    std::optional<datafiles::Failure> failure;
    // The basket ended inside a record: it was cut back to its whole records,
    // and this tells the operator where the cut record's bytes were kept.
    std::optional<datafiles::Failure> setAside;
};

// The lines as a basket file holds them.
QByteArray basketRecords(const QList<OrderLine>& lines);

// Adds the lines' records at the end of the order's basket file, creating it.
BasketAppend appendToBasket(const datafiles::DataDirectory& data, const QString& orderNumber,
                            const QList<OrderLine>& lines);

// Replaces the order's basket file with the records of these lines.
std::optional<datafiles::Failure> rewriteBasket(const datafiles::DataDirectory& data, const QString& orderNumber,
                                                const QList<OrderLine>& lines);

struct BasketRead
{
    QList<OrderLine> lines; // the complete records
    bool missing = false; // no basket file: the order never had a line
    QString file;
    std::optional<datafiles::Failure> failure; // the file is there but cannot be read
    std::optional<datafiles::Failure> cutShort; // it ends inside a record: what to tell the operator
};

BasketRead readBasket(const datafiles::DataDirectory& data, const QString& orderNumber);
// The lines of a printed order as it was last printed: its archived lines, or
// its basket where it was printed before they were archived apart.
BasketRead readPrintedLines(const datafiles::DataDirectory& data, const QString& orderNumber);

} // namespace core
