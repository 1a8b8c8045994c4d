#include "orderhistorymodel.h"

OrderHistoryModel::OrderHistoryModel(core::OrderHistory history, QObject* parent)
    : QAbstractTableModel(parent)
    , m_history(std::move(history))
    , m_found(m_history.search(QStringView()))
{
}

int OrderHistoryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_found.size());
}

int OrderHistoryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 4;
}

QVariant OrderHistoryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const core::OrderListEntry& e = entry(index.row());
    switch (index.column()) {
    case 0:
        return e.orderDate;
    case 1:
        return e.orderNumber;
    case 2:
        return e.customerNumber;
    case 3:
        return e.customerName;
    default:
        return {};
    }
}

QVariant OrderHistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0:
        return QStringLiteral("Orderdatum");
    case 1:
        return QStringLiteral("Ordernr");
    case 2:
        return QStringLiteral("Kundnr");
    case 3:
        return QStringLiteral("Namn");
    default:
        return {};
    }
}

void OrderHistoryModel::search(QStringView text)
{
    beginResetModel();
    m_found = m_history.search(text);
    endResetModel();
}

const core::OrderListEntry& OrderHistoryModel::entry(int row) const
{
    return m_history.entry(m_found[size_t(row)]);
}
