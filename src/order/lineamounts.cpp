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

std::optional<LineRefusal> refusedLineValue(const OrderLine& line)
{
    const auto refuse = [](OrderLine::Column field, const QString& reason) {
        return LineRefusal { field, datafiles::refusedByRule(addLineOperation, {}, reason) };
    };
    // An empty quantity reads as 0.
    if (leadingNumber(line.text(OrderLine::Quantity)) == 0)
        return refuse(OrderLine::Quantity, QStringLiteral("\"Antal\" ska vara ett tal skilt från 0"));
    const double discount = leadingNumber(line.text(OrderLine::Discount));
    if (!(discount >= 0 && discount <= 100))
        return refuse(OrderLine::Discount, QStringLiteral("\"Rab %\" ska vara mellan 0 och 100"));
    return std::nullopt;
}

QList<LineQuestion> lineQuestions(const OrderLine& line)
{
    QList<LineQuestion> questions;
    const QString& quantity = line.text(OrderLine::Quantity);
    if (leadingNumber(quantity) < 0)
        questions.append({ QStringLiteral("Retur"),
                           QStringLiteral("\"Antal\" är negativt (%1): raden blir en retur på %2.\r\n\r\n"
                                          "Vill du lägga till den?")
                               .arg(quantity, line.text(OrderLine::LineAmount)) });
    if (leadingNumber(line.text(OrderLine::UnitPrice)) == 0) {
        const QString product
            = QStringList { line.text(OrderLine::Article), line.text(OrderLine::Description) }.join(u' ').trimmed();
        questions.append({ QStringLiteral("Inget pris"),
                           QStringLiteral("Produkten \"%1\" har inget pris: raden blir %2.\r\n\r\n"
                                          "Vill du lägga till den?")
                               .arg(product, line.text(OrderLine::LineAmount)) });
    }
    return questions;
}

} // namespace core
