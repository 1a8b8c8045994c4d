#include "order.h"

#include <vector>

namespace core {

QStringList OrderLine::toList() const
{
    return QStringList(texts.begin(), texts.end());
}

OrderLine OrderLine::fromList(const QStringList& texts)
{
    OrderLine line;
    for (int i = 0; i < columnCount && i < texts.size(); ++i)
        line.texts[size_t(i)] = texts.at(i);
    return line;
}

std::optional<QString> vatRateOfCode(const QString& code)
{
    if (code == u"0")
        return QStringLiteral("25");
    if (code == u"1")
        return QStringLiteral("12");
    if (code == u"3")
        return QStringLiteral("6");
    if (code == u"9")
        return QStringLiteral("0");
    return std::nullopt;
}

Order::Order()
{
    m_texts[OrderNumber] = QStringLiteral("1");
}

void Order::setText(Field field, const QString& text)
{
    m_texts[field] = text;
    if (field == VatCode) {
        if (std::optional<QString> rate = vatRateOfCode(text))
            m_vatRate = *rate;
    }
}

void Order::removeLines(const QList<int>& positions)
{
    if (positions.isEmpty())
        return;
    std::vector<bool> removed(size_t(m_lines.size()), false);
    for (int position : positions) {
        if (position >= 0 && position < m_lines.size())
            removed[size_t(position)] = true;
    }
    QList<OrderLine> kept;
    kept.reserve(m_lines.size());
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (!removed[size_t(i)])
            kept.append(std::move(m_lines[i]));
    }
    m_lines = std::move(kept);
}

} // namespace core
