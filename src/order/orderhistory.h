#pragma once

#include "archive.h"
#include "wordsearch.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringView>

#include <vector>

namespace core {

// The printed orders as the history lists them: the lines of the order list,
// newest (last) first, and a search over them that the operator runs at every
// keystroke. Only the order list is kept; an order's own files are read when
// the operator chooses it.
class OrderHistory
{
public:
    OrderHistory() = default;
    // The lines of the order list, in file order.
    explicit OrderHistory(const QList<OrderListEntry>& entries);

    qsizetype size() const { return qsizetype(m_entries.size()); }
    // The entry at a place of the list, 0 being the newest.
    const OrderListEntry& entry(qsizetype place) const { return m_entries[size_t(place)]; }

    // The places, newest first, of the orders that every word of the text
    // begins a word of: of the order number, the customer number or the name.
    // Letter case does not count (å and Å alike). Words are parted by any white
    // space in the text, and by anything but a letter or digit in the order. A text
    // without words finds every order.
    std::vector<int> search(QStringView text) const;

private:
    std::vector<OrderListEntry> m_entries;
    // The order number, customer number and name of each entry.
    WordSearch m_words;
};

// The order that "Ny order från denna" starts: as "Ny" starts one, with the
// number given and today's dates; then the printed order's customer, info,
// codes, registration number, VAT code and lines. `current` is the order on
// screen, whose other texts stay.
Order newOrderFrom(const Order& printed, const Order& current, const QString& number, const QDate& today);

} // namespace core
