#pragma once

#include "order/order.h"
#include "printing/listviewprinting.h"

#include <QAbstractTableModel>
#include <QList>

// The order window's order-line list shows the lines of the window's order
// itself: there is one copy of the lines, and every change to them goes
// through here so that the list follows.
class OrderLinesModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    OrderLinesModel(core::Order& order, QList<printing::TableColumn> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const QList<printing::TableColumn>& columns() const { return m_columns; }

    void appendLines(const QList<core::OrderLine>& lines);
    // Removes the lines at these positions (ascending).
    void removeLines(const QList<int>& rows);
    // Puts another order in place of the window's order.
    void replaceOrder(const core::Order& order);

private:
    core::Order& m_order;
    QList<printing::TableColumn> m_columns;
};
