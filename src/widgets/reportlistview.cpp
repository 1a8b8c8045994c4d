#include "reportlistview.h"

#include "twips.h"

#include "datafiles/codepage.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>

ReportModel::ReportModel(QList<ReportColumn> columns, QObject* parent)
    : QAbstractTableModel(parent)
    , m_columns(std::move(columns))
{
}

int ReportModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ReportModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant ReportModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return m_rows.at(index.row()).at(index.column());
}

QVariant ReportModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_columns.size())
        return {};
    return m_columns.at(section).caption;
}

QStringList ReportModel::fitted(const QStringList& texts) const
{
    QStringList row = texts.mid(0, m_columns.size());
    while (row.size() < m_columns.size())
        row.append(QString());
    return row;
}

void ReportModel::appendRow(const QStringList& texts)
{
    const int row = int(m_rows.size());
    beginInsertRows({}, row, row);
    m_rows.append(fitted(texts));
    endInsertRows();
}

void ReportModel::appendRows(const QList<QStringList>& rows)
{
    if (rows.isEmpty())
        return;
    const int first = int(m_rows.size());
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    m_rows.reserve(m_rows.size() + rows.size());
    for (const QStringList& texts : rows)
        m_rows.append(fitted(texts));
    endInsertRows();
}

void ReportModel::removeRowAt(int row)
{
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}

void ReportModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

ReportListView::ReportListView(QWidget* parent)
    : QTreeView(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideNone);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void ReportListView::setColumns(const QList<ReportColumn>& columns)
{
    auto* model = new ReportModel(columns, this);
    QItemSelectionModel* oldSelection = selectionModel();
    setModel(model);
    delete oldSelection;
    if (m_reportModel)
        m_reportModel->deleteLater();
    m_reportModel = model;
    QList<int> widths;
    for (const ReportColumn& column : columns)
        widths.append(column.widthTwips);
    setDesignWidths(widths);
}

void ReportListView::setDesignWidths(const QList<int>& widthsTwips)
{
    m_designWidths = widthsTwips;
    for (int i = 0; i < widthsTwips.size(); ++i)
        header()->resizeSection(i, twipsToPixels(widthsTwips.at(i)));
}

void ReportListView::enableFullRowSelect()
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
}

int ReportListView::columnCount() const
{
    return model() ? model()->columnCount() : 0;
}

QString ReportListView::columnCaption(int column) const
{
    return model()->headerData(column, Qt::Horizontal).toString();
}

float ReportListView::columnWidthTwips(int column) const
{
    const int pixels = header()->sectionSize(column);
    if (column < m_designWidths.size() && pixels == twipsToPixels(m_designWidths.at(column)))
        return float(m_designWidths.at(column));
    return float(pixels * twipsPerPixel);
}

QList<int> ReportListView::selectedRows() const
{
    QList<int> rows;
    if (!selectionModel())
        return rows;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.append(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int ReportListView::firstSelectedRow() const
{
    const QList<int> rows = selectedRows();
    return rows.isEmpty() ? -1 : rows.first();
}

int ReportListView::findFirstStartingWith(const QString& text) const
{
    const QAbstractItemModel* m = model();
    if (!m)
        return -1;
    const int rows = m->rowCount();
    for (int row = 0; row < rows; ++row) {
        if (datafiles::beginsIgnoringCase(m->index(row, 0).data().toString(), text))
            return row;
    }
    return -1;
}

void ReportListView::selectRowWithoutScrolling(int row)
{
    const QModelIndex index = model()->index(row, 0);
    // Making a row current would scroll to it; the list stays where it is.
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    setAutoScroll(scrolls);
    viewport()->update();
}

void ReportListView::selectRowInSight(int row)
{
    const QModelIndex index = model()->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index, QAbstractItemView::PositionAtTop);
}

bool selectCurrentRowOnFirstStep(QAbstractItemView& list, QKeyEvent* event)
{
    const bool upOrDown = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    QAbstractItemModel* model = list.model();
    if (!upOrDown || !plain || !model || model->rowCount() == 0 || list.selectionModel()->hasSelection())
        return false;
    const QModelIndex current = list.currentIndex();
    const int row = current.isValid() ? current.row() : 0;
    list.selectionModel()->setCurrentIndex(model->index(row, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list.scrollTo(list.currentIndex());
    event->accept();
    return true;
}

void ReportListView::keyPressEvent(QKeyEvent* event)
{
    if (!selectCurrentRowOnFirstStep(*this, event))
        QTreeView::keyPressEvent(event);
}
