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

// How much room each column's texts have: up to the next column, and for the
// last up to the printable width as well.
QList<double> columnWidths(const Page& page, const QList<float>& edges)
{
    const double printableWidth = page.printableWidth();
    QList<double> widths;
    for (qsizetype column = 0; column + 1 < edges.size(); ++column)
        widths.append(std::min(double(edges.at(column + 1)), printableWidth) - edges.at(column));
    return widths;
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
    const QList<double> widths = columnWidths(page, edges);
    for (qsizetype k = 0; k < ListView.columns.size(); ++k) {
        page.setCurrentX(edges.at(k));
        page.printWithoutLineEnd(page.linesWithin(ListView.columns.at(k).caption, widths.at(k), 1).first());
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
    // A text wider than its column goes on below in its column, its row as
    // tall as its tallest cell; never taller than a fresh page holds.
    const double lineHeight = page.lineHeight();
    const QList<double> widths = columnWidths(page, edges);
    const int linesOnAFreshPage = std::max(1, int((pageBottom - TopMarginal - lineHeight) / lineHeight));
    // The first page holds the rest of the document, so even its first row
    // moves on when it does not fit; a later page takes its first row anyway.
    bool freshPage = false;
    for (const QStringList& item : ListView.items) {
        QList<QStringList> cells;
        qsizetype rowLines = 1;
        for (qsizetype j = 0; j <= lastSubItem; ++j) {
            cells.append(page.linesWithin(j < item.size() ? item.at(j) : QString(), widths.at(j), linesOnAFreshPage));
            rowLines = std::max(rowLines, cells.last().size());
        }
        const float bottom = page.pageNumber() <= 1 ? std::min(pageBottom, firstPageBottom) : pageBottom;
        const float rowBottom = float(page.currentY()) + float(rowLines * lineHeight);
        if (rowBottom > bottom && !freshPage) {
            page.newPage();
            PrintListViewHeader(page, ListView, TopMarginal, edges);
            freshPage = true;
        }
        const double rowTop = page.currentY();
        for (qsizetype j = 0; j <= lastSubItem; ++j) {
            for (qsizetype k = 0; k < cells.at(j).size(); ++k) {
                page.setCurrentY(rowTop + k * lineHeight);
                page.setCurrentX(edges.at(j));
                page.printWithoutLineEnd(cells.at(j).at(k));
            }
        }
        page.setCurrentY(rowTop + (rowLines - 1) * lineHeight);
        page.lineEnd();
        freshPage = false;
    }
}

} // namespace printing
