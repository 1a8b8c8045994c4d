#pragma once

#include "order/openorder.h"
#include "printing/listviewprinting.h"

#include <QAbstractTableModel>
#include <QList>

// The order window's order-line list: a read-only view of the open order's
// lines, which follows what the open order signals.
class OrderLinesModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    OrderLinesModel(const core::OpenOrder& order, QList<printing::TableColumn> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const QList<printing::TableColumn>& columns() const { return m_columns; }

private:
    void linesAppended(const QList<core::OrderLine>& lines);
    void linesRemoved(const QList<int>& rows);
    void orderReplaced();

    const core::OpenOrder& m_order;
    // The lines as the list shows them: the order's own, shared until it
    // changes them, so that the list can be told of a change before it sees it.
    QList<core::OrderLine> m_lines;
    QList<printing::TableColumn> m_columns;
};
