#pragma once

#include "order/orderhistory.h"

#include <QAbstractTableModel>
#include <QStringView>

#include <vector>

// The printed orders the history window lists: those the search text finds,
// newest first, in the columns "Orderdatum", "Ordernr", "Kundnr" and "Namn".
class OrderHistoryModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit OrderHistoryModel(core::OrderHistory history, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Lists the orders the text finds; every order for an empty text.
    void search(QStringView text);
    const core::OrderListEntry& entry(int row) const;

private:
    core::OrderHistory m_history;
    std::vector<int> m_found;
};
