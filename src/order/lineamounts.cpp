#include "lineamounts.h"

#include "datafiles/numbers.h"

namespace core {

using datafiles::amountText;
using datafiles::leadingNumber;

LineAmounts lineAmounts(QStringView unitPrice, QStringView quantity, QStringView discountPercent)
{
    LineAmounts result;
    result.gross = amountText(leadingNumber(unitPrice) * leadingNumber(quantity));
    result.discount = amountText(leadingNumber(result.gross) * leadingNumber(discountPercent) / 100);
    result.line = amountText(leadingNumber(result.gross) - leadingNumber(result.discount));
    return result;
}

QString withDecimalPoints(QString typed)
{
    typed.replace(QLatin1Char(','), QLatin1Char('.'));
    return typed;
}

} // namespace core
