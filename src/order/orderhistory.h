#pragma once

#include "archive.h"
#include "orderstatus.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <vector>

namespace core {

// Which orders the history lists by their state.
enum class StatusFilter {
    All,
    NotDelivered, // registered only: neither delivered, invoiced nor voided
    NotInvoiced, // registered or delivered
    Voided,
};

bool passes(StatusFilter filter, OrderState state);

struct OrderHistoryRead;

// The printed orders as the history lists them: the records of the order
// list, newest (last) first, each with its state, and a search over them that
// the operator runs at every keystroke. The search looks at a case-folded copy
// of the numbers and names alone. An order's own files are read when the
// operator chooses it.
class OrderHistory
{
public:
    OrderHistory() = default;
    // The records as the order list would hold them, in file order.
    explicit OrderHistory(const QList<OrderListEntry>& entries);

    qsizetype size() const { return m_list.size(); }
    // The order at a place of the list, 0 being the newest.
    OrderListEntry entry(qsizetype place) const { return m_list.entry(index(place)); }
    QString orderNumber(qsizetype place) const;
    OrderState state(qsizetype place) const { return m_states[size_t(index(place))]; }

    // Every order's state as the log has it: as the history opens, and again
    // after a change, which a look-up of every order takes little longer to
    // show than a search for the orders it named.
    void takeStates(const StatusLog& log);

    // The places, newest first, of the orders that the filter lets through
    // and that every word of the text begins a word of: of the order number,
    // the customer number or the name. Letter case does not count (å and Å
    // alike). Words are parted by any white space in the text, and by anything
    // but a letter or digit in the order. A text without words finds every
    // order. `hiddenByFilter`, when given, counts the orders the text finds
    // that the filter keeps out.
    std::vector<int> search(QStringView text, StatusFilter filter = StatusFilter::All,
                            qsizetype* hiddenByFilter = nullptr) const;

private:
    friend OrderHistoryRead readOrderHistory(const datafiles::DataDirectory& data);

    // The index is made as the list is read: room for a list of that many
    // bytes, each record as it is read, then the list itself.
    void reserve(qsizetype listBytes);
    void add(const OrderList::Fields& fields);
    void take(OrderList list);

    qsizetype index(qsizetype place) const { return m_list.size() - 1 - place; }
    bool matches(size_t index, const QList<QByteArray>& words) const;
    void setState(size_t index, OrderState state);
    // Of the 64 records from index 64 * block on, those the filter lets through.
    quint64 shownBy(StatusFilter filter, size_t block) const;

    OrderList m_list;
    // Per record, in file order: its number's key and its state.
    std::vector<quint64> m_keys;
    std::vector<OrderState> m_states;
    // A bit a record for each state, 64 records a word, for the filter.
    std::array<std::vector<quint64>, 4> m_inState;
    // The order number, customer number and name of each record, case folded,
    // each ended by a line feed, and where each of their words begins there.
    QByteArray m_folded;
    qsizetype m_foldedSize = 0;
    std::vector<quint32> m_firstWord; // per record, into m_wordStarts; one more at the end
    std::vector<quint32> m_wordStarts; // into m_folded
    // Per record, a bit for each letter or digit that begins one of its words,
    // and a bit for each of their first two and first three letters: most
    // records a keystroke cannot find are passed over on these alone.
    std::vector<quint64> m_initials;
    std::vector<quint64> m_beginnings;
};

// What the history opens on: the order list and the status file.
struct OrderHistoryRead
{
    OrderHistory history;
    StatusLog status;
    // The list or the status file is there but cannot be read.
    std::optional<datafiles::Failure> failure;
    // The list or the status file ends inside a record, or the status file
    // has lines passed over: what to tell the operator; the whole records are
    // used.
    QList<datafiles::Failure> cutShort;
};

OrderHistoryRead readOrderHistory(const datafiles::DataDirectory& data);

} // namespace core
