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

namespace {

struct VatCode
{
    const char16_t* code;
    const char16_t* rate;
};

constexpr VatCode vatCodes[] = { { u"0", u"25" }, { u"1", u"12" }, { u"3", u"6" }, { u"9", u"0" } };

} // namespace

std::optional<QString> vatRateOfCode(const QString& code)
{
    for (const VatCode& vat : vatCodes) {
        if (code == vat.code)
            return QString::fromUtf16(vat.rate);
    }
    return std::nullopt;
}

QString vatCodesWithRates()
{
    QStringList listed;
    for (const VatCode& vat : vatCodes)
        listed.append(QStringLiteral("%1 (%2 %)").arg(QString::fromUtf16(vat.code), QString::fromUtf16(vat.rate)));
    const QString last = listed.takeLast();
    return listed.join(QStringLiteral(", ")) + QStringLiteral(" eller ") + last;
}

Order::Order()
{
    m_texts[OrderNumber] = QStringLiteral("1");
}

void Order::setText(Field field, const QString& text)
{
    m_texts[field] = text;
}

QString Order::vatRate() const
{
    return vatRateOfCode(m_texts[VatCode]).value_or(QString());
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
