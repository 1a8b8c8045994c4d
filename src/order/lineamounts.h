#pragma once

#include "order.h"

#include "datafiles/failure.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The amounts of an order line being built from a product. Each step reads the
// amount text the step before it stored, so the discount is taken from the
// gross amount already rounded, and the line amount is the difference of the
// two rounded amounts the operator could see.
namespace core {

struct LineAmounts
{
    QString gross; // unit price × quantity
    QString discount; // gross × discount per cent / 100
    QString line; // gross − discount
};

LineAmounts lineAmounts(QStringView unitPrice, QStringView quantity, QStringView discountPercent);

// What a quantity or discount becomes as the operator types it: a decimal comma
// is written as the point the program reads numbers by, so the stored text says
// what was computed ("2,5" would otherwise be stored as typed but counted as 2).
QString withDecimalPoints(QString typed);

// A line value the order does not take, and the field it stands in.
struct LineRefusal
{
    OrderLine::Column field;
    datafiles::Failure failure;
};

// What the operator is told they asked for when a line is added.
inline const QString addLineOperation = QStringLiteral("lägga till orderraden");

// What keeps a line out of the order, whichever way it comes: a quantity that
// is empty or reads as 0, or a discount outside 0 to 100 per cent. The reason
// names the field as the product picker captions it.
std::optional<LineRefusal> refusedLineValue(const OrderLine& line);

// What the operator confirms before a line goes in, in turn: a negative
// quantity (a return) and a product without a price. Each is a whole question.
struct LineQuestion
{
    QString title;
    QString text;
};
QList<LineQuestion> lineQuestions(const OrderLine& line);

} // namespace core
