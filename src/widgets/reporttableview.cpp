#include "reporttableview.h"

#include "reportlistview.h"
#include "twips.h"

#include <QHeaderView>
#include <QKeyEvent>

ReportTableView::ReportTableView(QWidget* parent)
    : QTableView(parent)
{
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
}

void ReportTableView::setDesignWidths(const QList<int>& widthsTwips)
{
    for (int i = 0; i < widthsTwips.size(); ++i)
        horizontalHeader()->resizeSection(i, twipsToPixels(widthsTwips.at(i)));
}

int ReportTableView::firstSelectedRow() const
{
    if (!selectionModel())
        return -1;
    const QModelIndexList rows = selectionModel()->selectedRows();
    int first = -1;
    for (const QModelIndex& row : rows) {
        if (first < 0 || row.row() < first)
            first = row.row();
    }
    return first;
}

void ReportTableView::keyPressEvent(QKeyEvent* event)
{
    if (!selectCurrentRowOnFirstStep(*this, event))
        QTableView::keyPressEvent(event);
}
