#pragma once

#include <QString>
#include <QStringView>

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

} // namespace core
