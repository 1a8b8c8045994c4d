#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <limits>

namespace printing {

class Page;

// A column of a report-style list as it stands on screen: its caption and its
// width in twips, the designed one until the operator drags it.
struct TableColumn
{
    QString caption;
    float widthTwips = 0;
};

// What the table routine reads of a report-style list: its columns in their
// order, and its items, each the texts of its columns (a text never set is
// empty). The routine knows nothing of orders.
struct ListViewContent
{
    QList<TableColumn> columns;
    QList<QStringList> items;
};

// The sum of the list's column widths, added one after the other in single
// precision.
float ListViewTotalWidth(const ListViewContent& ListView);

// The left edge of the table and the right edge of each column, in page units.
// Each column gets a whole number of page units, in proportion to its width on
// screen within the space between the margins.
QList<float> columnEdges(const ListViewContent& ListView, float printableWidth, float LeftMarginal,
                         float RightMarginal);

// The bold row of column captions at TopMarginal, each cut short to its
// column; bold is off afterwards.
void PrintListViewHeader(Page& page, const ListViewContent& ListView, float TopMarginal, const QList<float>& edges);

// Prints the list as a table into the open document and ends the document.
// Every text stays within its column (the last ends at the printable width):
// a caption is cut short, a cell too wide goes on over the lines below in its
// column (a row is as tall as its tallest cell, at most what a fresh page
// holds; the rest is cut short), and a column the whole page units leave
// without width prints nothing. A row goes to a new page, under the captions
// again, when it would reach below the bottom of the page's usable part: the
// printable height, or less by a positive BottomMarginal, and on the first
// page no lower than firstPageBottom, where the document has its own items
// below the table. A row that does not fit even on a fresh page is printed
// there all the same.
void PrintListView(Page& page, const ListViewContent& ListView, float LeftMarginal, float TopMarginal,
                   float RightMarginal, float BottomMarginal,
                   float firstPageBottom = std::numeric_limits<float>::infinity());

// The same without ending the document, for a document that has more to draw
// below the table on its last page.
void printListViewRows(Page& page, const ListViewContent& ListView, float LeftMarginal, float TopMarginal,
                       float RightMarginal, float BottomMarginal,
                       float firstPageBottom = std::numeric_limits<float>::infinity());

} // namespace printing
