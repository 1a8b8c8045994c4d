#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace datafiles {

// The numeric value of a text, as the program reads prices, quantities,
// discounts and stored amounts: blanks, tabs and line feeds are ignored
// wherever they stand; then the longest leading part that forms a decimal
// number (optional sign, digits, at most one "." as decimal point, optional
// exponent introduced by E or D) gives the value. "&H" and "&O" start a
// hexadecimal or octal whole number. A text without such a part reads as 0;
// a number too large for a double reads as the largest one, a number too small
// as 0. The comma is never a decimal mark: "2,5" reads as 2.
double leadingNumber(QStringView text);

// An amount as the program stores it: the value taken to 15 significant
// digits, rounded to two decimals with halves away from zero, "." as the
// decimal mark, no grouping: 4.4955 gives "4.50", -0.005 gives "-0.01",
// 1234.5 gives "1234.50". A value that rounds to zero is "0.00".
QString amountText(double value);

// The amount text of a value as a whole number of hundredths (1234.5 gives
// 123450); empty when the amount does not fit in 64 bits.
std::optional<qint64> amountHundredths(double value);

// The amount text of a count of hundredths (123450 gives "1234.50").
QString amountTextOfHundredths(qint64 hundredths);

} // namespace datafiles
