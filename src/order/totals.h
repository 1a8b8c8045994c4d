#pragma once

#include "datafiles/failure.h"

#include <QString>

#include <optional>

namespace core {

class Order;

// What the order comes to, as amount texts: the total excluding VAT, the VAT
// rate in per cent, the VAT amount and the total including VAT. Where the VAT
// code has no rate, the rate, the VAT and the total including VAT are empty:
// they are not known.
struct Totals
{
    QString exclusiveOfVat;
    QString vatRate;
    QString vat;
    QString inclusiveOfVat;

    bool knowsVat() const { return !vatRate.isEmpty(); }
    bool operator==(const Totals&) const = default;
};

// What is shown in place of a rate, a VAT amount or a total including VAT that
// is not known.
inline const QString unknownAmount = QStringLiteral("okänd");

// The totals of the order's lines at its VAT rate. Each line amount counts as
// the amount it reads as ("12.5" is 12.50, an empty or wordy one nothing); the
// VAT is taken from the total already rounded to two decimals, so the total
// including VAT is always the exact sum of the two texts printed.
Totals totalsOf(const Order& order);

// Why the order's VAT code gives no rate, naming the code and the codes that
// do; empty when it gives one.
QString unknownVatRateReason(const Order& order);

// An order whose VAT and total including VAT are not known is not printed: the
// refusal of `operation` names the VAT code. None when the code has a rate.
std::optional<datafiles::Failure> refusalForUnknownVat(const Order& order, const QString& operation);

} // namespace core
