#include "listviewprinting.h"

#include "page.h"

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

float ListViewTotalWidth(const ListViewContent& ListView)
{
    float total = 0;
    for (const TableColumn& column : ListView.columns)
        total += column.widthTwips;
    return total;
}

QList<float> columnEdges(const ListViewContent& ListView, float printableWidth, float LeftMarginal, float RightMarginal)
{
    const qsizetype columns = ListView.columns.size();
    const float width = printableWidth - LeftMarginal - RightMarginal;
    qint32 total = roundHalfEven(ListViewTotalWidth(ListView));
    // Every column dragged to nothing leaves no proportions to keep: the
    // columns then share the width equally rather than dividing by zero.
    const bool equalShares = total <= 0;
    if (equalShares)
        total = qint32(columns);

    QList<float> edges;
    edges.reserve(columns + 1);
    edges.append(LeftMarginal);
    for (const TableColumn& column : ListView.columns) {
        const float columnWidth = equalShares ? 1.0f : column.widthTwips;
        const qint32 share = roundHalfEven(columnWidth * width);
        const qint32 step = share / total;
        edges.append(edges.last() + float(step));
    }
    return edges;
}

void PrintListViewHeader(Page& page, const ListViewContent& ListView, float TopMarginal, const QList<float>& edges)
{
    page.setBold(true);
    page.setCurrentY(TopMarginal);
    for (qsizetype k = 0; k < ListView.columns.size(); ++k) {
        page.setCurrentX(edges.at(k));
        page.printWithoutLineEnd(ListView.columns.at(k).caption);
    }
    page.lineEnd();
    page.setBold(false);
}

void PrintListView(Page& page, const ListViewContent& ListView, float LeftMarginal, float TopMarginal,
                   float RightMarginal, float BottomMarginal, float firstPageBottom)
{
    printListViewRows(page, ListView, LeftMarginal, TopMarginal, RightMarginal, BottomMarginal, firstPageBottom);
    page.endDocument();
}

void printListViewRows(Page& page, const ListViewContent& ListView, float LeftMarginal, float TopMarginal,
                       float RightMarginal, float BottomMarginal, float firstPageBottom)
{
    const QList<float> edges = columnEdges(ListView, float(page.printableWidth()), LeftMarginal, RightMarginal);
    const qsizetype lastSubItem = ListView.columns.size() - 1;
    const float pageBottom = std::min(float(page.printableHeight()), float(page.printableHeight()) - BottomMarginal);

    PrintListViewHeader(page, ListView, TopMarginal, edges);
    // The first page holds the rest of the document, so even its first row
    // moves on when it does not fit; a later page takes its first row anyway.
    bool freshPage = false;
    for (const QStringList& item : ListView.items) {
        const float bottom = page.pageNumber() <= 1 ? std::min(pageBottom, firstPageBottom) : pageBottom;
        const float rowBottom = float(page.currentY()) + float(page.lineHeight());
        if (rowBottom > bottom && !freshPage) {
            page.newPage();
            PrintListViewHeader(page, ListView, TopMarginal, edges);
            freshPage = true;
        }
        for (qsizetype j = 0; j <= lastSubItem; ++j) {
            page.setCurrentX(edges.at(j));
            page.printWithoutLineEnd(j < item.size() ? item.at(j) : QString());
        }
        page.lineEnd();
        freshPage = false;
    }
}

} // namespace printing
