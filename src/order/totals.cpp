#include "totals.h"

#include "order.h"

#include "datafiles/numbers.h"

#include <QtNumeric>

#include <optional>

namespace core {
namespace {

// A line amount as the program writes it ("-123.45": at most 15 digits, exactly
// two decimals) is its own count of hundredths; reading it by the number rule
// would give the same count, only slower.
std::optional<qint64> hundredthsOfAmountText(QStringView text)
{
    qsizetype i = 0;
    const bool negative = !text.isEmpty() && text.front() == u'-';
    if (negative)
        ++i;
    const qsizetype digits = text.size() - i - 1;
    if (digits < 3 || digits > 15 || text.at(text.size() - 3) != u'.')
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (i == text.size() - 3)
            continue;
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    return negative ? -value : value;
}

std::optional<qint64> hundredthsOfLineAmount(const QString& text)
{
    if (std::optional<qint64> exact = hundredthsOfAmountText(text))
        return exact;
    return datafiles::amountHundredths(datafiles::leadingNumber(text));
}

QString totalExclusiveOfVat(const QList<OrderLine>& lines)
{
    // Added in whole hundredths; only a total beyond 64 bits of hundredths
    // falls back to adding in double precision.
    qint64 hundredths = 0;
    for (const OrderLine& line : lines) {
        const std::optional<qint64> amount = hundredthsOfLineAmount(line.text(OrderLine::LineAmount));
        if (!amount || qAddOverflow(hundredths, *amount, &hundredths)) {
            double total = 0;
            for (const OrderLine& each : lines)
                total += datafiles::leadingNumber(each.text(OrderLine::LineAmount));
            return datafiles::amountText(total);
        }
    }
    return datafiles::amountTextOfHundredths(hundredths);
}

} // namespace

Totals totalsOf(const Order& order)
{
    using datafiles::amountText;
    using datafiles::leadingNumber;

    Totals totals;
    totals.exclusiveOfVat = totalExclusiveOfVat(order.lines());
    totals.vatRate = order.vatRate();
    if (!totals.knowsVat())
        return totals;
    const double exclusive = leadingNumber(totals.exclusiveOfVat);
    totals.vat = amountText(exclusive * leadingNumber(totals.vatRate) / 100);
    totals.inclusiveOfVat = amountText(exclusive + leadingNumber(totals.vat));
    return totals;
}

QString unknownVatRateReason(const Order& order)
{
    if (!order.vatRate().isEmpty())
        return {};
    const QString code = order.text(Order::VatCode);
    return (code.isEmpty() ? QStringLiteral("ordern har ingen momskod (rutan Mkod är tom)")
                           : QStringLiteral("momskoden \"%1\" (rutan Mkod) har ingen momssats").arg(code))
        + QStringLiteral("; skriv ") + vatCodesWithRates();
}

std::optional<datafiles::Failure> refusalForUnknownVat(const Order& order, const QString& operation)
{
    const QString reason = unknownVatRateReason(order);
    if (reason.isEmpty())
        return std::nullopt;
    return datafiles::refusedByRule(operation, {}, reason);
}

} // namespace core
