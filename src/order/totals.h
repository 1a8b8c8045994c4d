#pragma once

#include <QString>

namespace core {

class Order;

// What the order comes to, as amount texts: the total excluding VAT, the VAT
// rate in per cent, the VAT amount and the total including VAT.
struct Totals
{
    QString exclusiveOfVat;
    QString vatRate;
    QString vat;
    QString inclusiveOfVat;

    bool operator==(const Totals&) const = default;
};

// The totals of the order's lines at its VAT rate. Each line amount counts as
// the amount it reads as ("12.5" is 12.50, an empty or wordy one nothing); the
// VAT is taken from the total already rounded to two decimals, so the total
// including VAT is always the exact sum of the two texts printed.
Totals totalsOf(const Order& order);

} // namespace core
