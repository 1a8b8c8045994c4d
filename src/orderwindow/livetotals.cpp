// The order's totals and VAT, kept current for the printed order.

#include "frmmain.h"

#include "reportlistview.h"
#include "textbox.h"

#include "datafiles/numbers.h"

#include <QLabel>

#include <optional>

namespace {

constexpr int lineAmountColumn = 6;

// The VAT rate in per cent of a VAT code; none for a code outside the table,
// which leaves the rate shown before.
std::optional<QString> vatRate(const QString& code)
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

} // namespace

void FrmMain::recomputeAmounts()
{
    using datafiles::amountText;
    using datafiles::leadingNumber;

    // Each line amount counts as the amount text it reads as (a hand-edited
    // "12.5" is 12.50), added in whole hundredths. Only a total beyond 64 bits of
    // hundredths falls back to adding in double precision.
    const QList<QStringList>& lines = m_ListView1->reportModel()->rows();
    qint64 hundredths = 0;
    bool exact = true;
    for (const QStringList& line : lines) {
        const std::optional<qint64> amount = hundredthsOfLineAmount(line.at(lineAmountColumn));
        if (!amount || __builtin_add_overflow(hundredths, *amount, &hundredths)) {
            exact = false;
            break;
        }
    }
    if (exact) {
        m_lbl_exkl->setText(datafiles::amountTextOfHundredths(hundredths));
    } else {
        double total = 0;
        for (const QStringList& line : lines)
            total += leadingNumber(line.at(lineAmountColumn));
        m_lbl_exkl->setText(amountText(total));
    }

    if (const std::optional<QString> rate = vatRate(m_txt_Mkod->text()))
        m_lbl_moms_pro->setText(*rate);

    const double exkl = leadingNumber(m_lbl_exkl->text());
    m_lbl_moms_kr->setText(amountText(exkl * leadingNumber(m_lbl_moms_pro->text()) / 100));
    m_lbl_inkl->setText(amountText(exkl + leadingNumber(m_lbl_moms_kr->text())));
}
