#include "orderhistorymodel.h"

#include <QColor>

#include <algorithm>

namespace {

// How many rows the list is given at a time: many more than it shows.
constexpr int rowsAtATime = 500;

enum Column { OrderDate, OrderNumber, CustomerNumber, Name, Status, ColumnCount };

} // namespace

OrderHistoryModel::OrderHistoryModel(core::OrderHistory history, QObject* parent)
    : QAbstractTableModel(parent)
    , m_history(std::move(history))
{
    search(QStringView(), core::StatusFilter::All);
}

int OrderHistoryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_listed;
}

int OrderHistoryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant OrderHistoryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::ForegroundRole)
        return index.column() == Status && state(index.row()) == core::OrderState::Voided ? QColor(192, 0, 0)
                                                                                          : QVariant();
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    if (index.column() == Status)
        return core::stateName(state(index.row()));
    const core::OrderListEntry e = entry(index.row());
    switch (index.column()) {
    case OrderDate:
        return e.orderDate;
    case OrderNumber:
        return e.orderNumber;
    case CustomerNumber:
        return e.customerNumber;
    case Name:
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
    case OrderDate:
        return QStringLiteral("Orderdatum");
    case OrderNumber:
        return QStringLiteral("Ordernr");
    case CustomerNumber:
        return QStringLiteral("Kundnr");
    case Name:
        return QStringLiteral("Namn");
    case Status:
        return QStringLiteral("Status");
    default:
        return {};
    }
}

bool OrderHistoryModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && size_t(m_listed) < m_found.size();
}

void OrderHistoryModel::fetchMore(const QModelIndex& parent)
{
    if (canFetchMore(parent))
        listUpTo(m_listed + rowsAtATime - 1);
}

void OrderHistoryModel::listUpTo(int row)
{
    const int listed = int(std::min(m_found.size(), size_t(row) + 1));
    if (listed <= m_listed)
        return;
    beginInsertRows({}, m_listed, listed - 1);
    m_listed = listed;
    endInsertRows();
}

void OrderHistoryModel::search(QStringView text, core::StatusFilter filter)
{
    beginResetModel();
    // The text may be a view of the one kept here: it is searched as kept.
    m_text = text.toString();
    m_filter = filter;
    m_found = m_history.search(m_text, filter, &m_hidden);
    m_listed = int(std::min(m_found.size(), size_t(rowsAtATime)));
    endResetModel();
}

core::OrderListEntry OrderHistoryModel::entry(int row) const
{
    return m_history.entry(place(row));
}

QString OrderHistoryModel::orderNumber(int row) const
{
    return m_history.orderNumber(place(row));
}

core::OrderState OrderHistoryModel::state(int row) const
{
    return m_history.state(place(row));
}

int OrderHistoryModel::rowOfPlace(int place)
{
    const auto found = std::lower_bound(m_found.begin(), m_found.end(), place);
    if (found == m_found.end() || *found != place)
        return -1;
    const int row = int(found - m_found.begin());
    listUpTo(row);
    return row;
}

void OrderHistoryModel::takeStates(const core::StatusLog& log)
{
    m_history.takeStates(log);
    search(m_text, m_filter);
}

qsizetype OrderHistoryModel::takeHistory(core::OrderHistory history, const core::StatusLog& log)
{
    const qsizetype added = history.size() - m_history.size();
    m_history = std::move(history);
    takeStates(log);
    return added;
}
