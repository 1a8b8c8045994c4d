#include "listviewprinting.h"

#include "page.h"

#include "orderwindow/reportlistview.h"

#include <QAbstractItemModel>

#include <algorithm>
#include <cmath>

namespace printing {
namespace {

// Rounds to the nearest whole number, halves to even.
qint32 roundHalfEven(float value)
{
    return qint32(std::lrintf(value));
}

} // namespace

float ListViewTotalWidth(const ReportListView& ListView)
{
    float total = 0;
    for (int i = 0; i < ListView.columnCount(); ++i)
        total += ListView.columnWidthTwips(i);
    return total;
}

QList<float> columnEdges(const ReportListView& ListView, float printableWidth, float LeftMarginal, float RightMarginal)
{
    const int columns = ListView.columnCount();
    const float width = printableWidth - LeftMarginal - RightMarginal;
    qint32 total = roundHalfEven(ListViewTotalWidth(ListView));
    // Every column dragged to nothing leaves no proportions to keep: the
    // columns then share the width equally rather than dividing by zero.
    const bool equalShares = total <= 0;
    if (equalShares)
        total = columns;

    QList<float> edges;
    edges.reserve(columns + 1);
    edges.append(LeftMarginal);
    for (int i = 0; i < columns; ++i) {
        const float columnWidth = equalShares ? 1.0f : ListView.columnWidthTwips(i);
        const qint32 share = roundHalfEven(columnWidth * width);
        const qint32 step = share / total;
        edges.append(edges.last() + float(step));
    }
    return edges;
}

void PrintListViewHeader(Page& page, const ReportListView& ListView, float TopMarginal, const QList<float>& edges)
{
    page.setBold(true);
    page.setCurrentY(TopMarginal);
    for (int k = 0; k < ListView.columnCount(); ++k) {
        page.setCurrentX(edges.at(k));
        page.printWithoutLineEnd(ListView.columnCaption(k));
    }
    page.lineEnd();
    page.setBold(false);
}

void PrintListView(Page& page, const ReportListView& ListView, float LeftMarginal, float TopMarginal,
                   float RightMarginal, float BottomMarginal, float firstPageBottom)
{
    const QList<float> edges = columnEdges(ListView, float(page.printableWidth()), LeftMarginal, RightMarginal);
    const int lastSubItem = ListView.columnCount() - 1;
    const float pageBottom = std::min(float(page.printableHeight()), float(page.printableHeight()) - BottomMarginal);

    PrintListViewHeader(page, ListView, TopMarginal, edges);
    // The first page holds the rest of the document, so even its first row
    // moves on when it does not fit; a later page takes its first row anyway.
    bool freshPage = false;
    const QAbstractItemModel* rows = ListView.model();
    const int rowCount = rows ? rows->rowCount() : 0;
    for (int row = 0; row < rowCount; ++row) {
        const float bottom = page.pageNumber() <= 1 ? std::min(pageBottom, firstPageBottom) : pageBottom;
        const float rowBottom = float(page.currentY()) + float(page.lineHeight());
        if (rowBottom > bottom && !freshPage) {
            page.newPage();
            PrintListViewHeader(page, ListView, TopMarginal, edges);
            freshPage = true;
        }
        page.setCurrentX(edges.at(0));
        page.printWithoutLineEnd(rows->index(row, 0).data().toString());
        for (int j = 1; j <= lastSubItem; ++j) {
            page.setCurrentX(edges.at(j));
            page.printWithoutLineEnd(rows->index(row, j).data().toString());
        }
        page.lineEnd();
        freshPage = false;
    }
    page.endDocument();
}

} // namespace printing
