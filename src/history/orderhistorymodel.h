#pragma once

#include "order/orderhistory.h"

#include <QAbstractTableModel>
#include <QStringView>

#include <vector>

// The printed orders the history window lists: those the search text finds
// and the status filter lets through, newest first, in the columns
// "Orderdatum", "Ordernr", "Kundnr", "Namn" and "Status". The rows are handed
// to the list a few hundred at a time, as the operator scrolls down to them,
// so that a search that finds a million orders lists them at once.
class OrderHistoryModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit OrderHistoryModel(core::OrderHistory history, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // Lists the orders the text finds that the filter lets through; every
    // order for an empty text and "Alla".
    void search(QStringView text, core::StatusFilter filter);
    // How many orders the search found, listed or not yet, and how many more
    // it found that the filter keeps out.
    qsizetype foundCount() const { return qsizetype(m_found.size()); }
    qsizetype hiddenByFilter() const { return m_hidden; }

    core::OrderListEntry entry(int row) const;
    QString orderNumber(int row) const;
    core::OrderState state(int row) const;
    // The order's place in the history, and the row a place is listed in
    // (listing the rows up to it); -1 when the search does not list it.
    int place(int row) const { return m_found[size_t(row)]; }
    int rowOfPlace(int place);
    // Lists the rows found up to this one, if the search found as many.
    void listUpTo(int row);

    // States changed in the log: the orders are shown anew and listed again
    // as the filter has it.
    void takeStates(const core::StatusLog& log);
    // The history read afresh (other desks printed orders or changed states),
    // listed again as the search has it. Returns how many orders the list has
    // gained: the places of the orders listed before move on by as many.
    qsizetype takeHistory(core::OrderHistory history, const core::StatusLog& log);

private:
    core::OrderHistory m_history;
    QString m_text;
    core::StatusFilter m_filter = core::StatusFilter::All;
    std::vector<int> m_found;
    qsizetype m_hidden = 0;
    int m_listed = 0;
};
