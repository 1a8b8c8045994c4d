#include "orderlinesmodel.h"

namespace {

// Removing a line at a time keeps the list where the operator has scrolled it;
// past this many lines the list is rebuilt from the lines that stay, so that
// removing thousands of lines does not redo the list thousands of times.
constexpr qsizetype linesRemovedOneByOne = 64;

} // namespace

OrderLinesModel::OrderLinesModel(const core::OpenOrder& order, QList<printing::TableColumn> columns, QObject* parent)
    : QAbstractTableModel(parent)
    , m_order(order)
    , m_lines(order.order().lines())
    , m_columns(std::move(columns))
{
    connect(&order, &core::OpenOrder::linesAppended, this, &OrderLinesModel::linesAppended);
    connect(&order, &core::OpenOrder::linesRemoved, this, &OrderLinesModel::linesRemoved);
    connect(&order, &core::OpenOrder::orderReplaced, this, &OrderLinesModel::orderReplaced);
}

int OrderLinesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

int OrderLinesModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant OrderLinesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    if (index.column() >= core::OrderLine::columnCount)
        return QString();
    return m_lines.at(index.row()).texts[size_t(index.column())];
}

QVariant OrderLinesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return {};
    // "Rab %" is padded with blanks for the printed table; a screen reader says the words.
    if (role == Qt::AccessibleTextRole)
        return m_columns.at(section).caption.trimmed();
    return role == Qt::DisplayRole ? QVariant(m_columns.at(section).caption) : QVariant();
}

void OrderLinesModel::linesAppended(const QList<core::OrderLine>& lines)
{
    if (lines.isEmpty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + int(lines.size()) - 1);
    m_lines.append(lines);
    endInsertRows();
}

void OrderLinesModel::linesRemoved(const QList<int>& rows)
{
    if (rows.size() > linesRemovedOneByOne) {
        orderReplaced();
        return;
    }
    for (qsizetype i = rows.size() - 1; i >= 0; --i) {
        const int row = rows.at(i);
        beginRemoveRows({}, row, row);
        m_lines.removeAt(row);
        endRemoveRows();
    }
}

void OrderLinesModel::orderReplaced()
{
    beginResetModel();
    m_lines = m_order.order().lines();
    endResetModel();
}
