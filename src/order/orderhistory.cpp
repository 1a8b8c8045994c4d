#include "orderhistory.h"

#include "numbering.h"

#include <QRegularExpression>

namespace core {
namespace {

// Marks the end of one field in the folded text, so that no word runs on
// into the next field.
constexpr QChar fieldEnd = u'\n';

bool isWordLetter(QChar c)
{
    return c.isLetterOrNumber();
}

} // namespace

OrderHistory::OrderHistory(const QList<OrderListEntry>& entries)
{
    const qsizetype count = entries.size();
    m_entries.reserve(size_t(count));
    m_firstStart.reserve(size_t(count) + 1);
    m_wordStarts.reserve(size_t(count) * 4);
    m_folded.reserve(count * 32);
    for (qsizetype i = count - 1; i >= 0; --i) {
        const OrderListEntry& entry = entries.at(i);
        m_entries.push_back(entry);
        m_firstStart.push_back(quint32(m_wordStarts.size()));
        for (const QString* field : { &entry.orderNumber, &entry.customerNumber, &entry.customerName }) {
            const QString folded = field->toCaseFolded();
            bool inWord = false;
            for (QChar c : folded) {
                const bool letter = isWordLetter(c);
                if (letter && !inWord)
                    m_wordStarts.push_back(quint32(m_folded.size()));
                inWord = letter;
                m_folded.append(c == fieldEnd ? QChar(u' ') : c);
            }
            m_folded.append(fieldEnd);
        }
    }
    m_firstStart.push_back(quint32(m_wordStarts.size()));
}

std::vector<int> OrderHistory::search(QStringView text) const
{
    // Any white space parts the words: a pasted line feed or tab is a blank,
    // never part of a word that could reach into the next field or order.
    static const QRegularExpression whiteSpace(QStringLiteral("\\s+"), QRegularExpression::UseUnicodePropertiesOption);
    QStringList words;
    for (const QString& word : text.toString().split(whiteSpace, Qt::SkipEmptyParts)) {
        const QString folded = word.toCaseFolded();
        if (!words.contains(folded))
            words.append(folded);
    }

    std::vector<int> found;
    const int count = int(size());
    if (words.isEmpty()) {
        found.resize(size_t(count));
        for (int i = 0; i < count; ++i)
            found[size_t(i)] = i;
        return found;
    }

    const QChar* folded = m_folded.constData();
    const qsizetype foldedSize = m_folded.size();
    for (int place = 0; place < count; ++place) {
        const quint32 first = m_firstStart[size_t(place)];
        const quint32 last = m_firstStart[size_t(place) + 1];
        bool all = true;
        for (const QString& word : words) {
            const QChar* want = word.constData();
            const qsizetype length = word.size();
            bool begins = false;
            for (quint32 s = first; s < last && !begins; ++s) {
                const quint32 start = m_wordStarts[s];
                if (folded[start] != want[0] || start + length > foldedSize)
                    continue;
                begins = QStringView(folded + start, length) == QStringView(want, length);
            }
            if (!begins) {
                all = false;
                break;
            }
        }
        if (all)
            found.push_back(place);
    }
    return found;
}

Order newOrderFrom(const Order& printed, const Order& current, const QString& number, const QDate& today)
{
    Order order = current;
    startNewOrder(order, number, today);
    for (Order::Field field : { Order::CustomerNumber, Order::CustomerLine1, Order::CustomerLine2, Order::CustomerLine3,
                                Order::Info, Order::PaymentTerms, Order::DeliveryMethod, Order::FreightMethod,
                                Order::RegistrationNumber, Order::VatCode })
        order.setText(field, printed.text(field));
    order.setLines(printed.lines());
    return order;
}

} // namespace core
