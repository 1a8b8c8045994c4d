#include "printingtestsupport.h"

#include "printing/listviewprinting.h"
#include "printing/orderdocument.h"

#include <QTest>

#include <limits>

using printing::ListViewContent;
using printing::PageStep;
using printing::RecordingPage;
using printing::TableColumn;

namespace {

QList<TableColumn> columnsOfWidths(const QList<float>& widths)
{
    QList<TableColumn> columns;
    for (int i = 0; i < widths.size(); ++i)
        columns.append({ QStringLiteral("K%1").arg(i), widths.at(i) });
    return columns;
}

// A list of these columns whose cell r, c reads "r<r>c<c>".
ListViewContent listWith(const QList<TableColumn>& columns, int rows)
{
    ListViewContent list { columns, {} };
    for (int r = 0; r < rows; ++r) {
        QStringList texts;
        for (int c = 0; c < columns.size(); ++c)
            texts.append(QStringLiteral("r%1c%2").arg(r).arg(c));
        list.items.append(texts);
    }
    return list;
}

const QList<TableColumn> orderColumns = printing::designedOrderLineColumns();

constexpr float unlimited = std::numeric_limits<float>::infinity();

} // namespace

class TestListViewPrinting : public QObject
{
    Q_OBJECT

private slots:
    void columnEdges_data();
    void columnEdges();
    void headingAndRows();
    void cellsOfSmallLists_data();
    void cellsOfSmallLists();
    void rowsNeverReachBelowTheUsableBottom_data();
    void rowsNeverReachBelowTheUsableBottom();
    void rowTooTallForAnyPageStillPrintsOnce();
    void cellsKeepToTheirColumns_data();
    void cellsKeepToTheirColumns();
};

void TestListViewPrinting::columnEdges_data()
{
    QTest::addColumn<QList<float>>("widths");
    QTest::addColumn<float>("printableWidth");
    QTest::addColumn<float>("left");
    QTest::addColumn<float>("right");
    QTest::addColumn<QList<float>>("edges");

    QTest::newRow("order lines on 20 cm") << QList<float> { 1440, 3000, 400, 1000, 1000, 600, 1000 } << 20.0f << 1.0f
                                          << -4.0f << QList<float> { 1, 4, 12, 13, 15, 17, 18, 20 };
    // "Benämning" dragged from 200 to 300 pixels on screen: 4500 twips of 9940.
    QTest::newRow("a column widened on screen") << QList<float> { 1440, 4500, 400, 1000, 1000, 600, 1000 } << 20.0f
                                                << 1.0f << -4.0f << QList<float> { 1, 4, 14, 14, 16, 18, 19, 21 };
    // 1 x 2.5 rounds to 2, not 3.
    QTest::newRow("share rounds half to even") << QList<float> { 1 } << 3.5f << 1.0f << 0.0f << QList<float> { 1, 3 };
    QTest::newRow("share 3.5 rounds up to 4") << QList<float> { 1 } << 4.5f << 1.0f << 0.0f << QList<float> { 1, 5 };
    QTest::newRow("fractions lost column by column")
        << QList<float> { 1, 1, 1 } << 10.0f << 0.0f << 0.0f << QList<float> { 0, 3, 6, 9 };
}

void TestListViewPrinting::columnEdges()
{
    QFETCH(QList<float>, widths);
    QFETCH(float, printableWidth);
    QFETCH(float, left);
    QFETCH(float, right);

    const auto list = listWith(columnsOfWidths(widths), 0);
    QTEST(printing::columnEdges(list, printableWidth, left, right), "edges");
}

void TestListViewPrinting::headingAndRows()
{
    const auto list = listWith(orderColumns, 2);
    QList<PageStep> steps;
    RecordingPage page(steps);
    page.setFontSize(9);
    page.setPosition(3.0, 26.0); // where the order form left it
    printing::PrintListView(page, list, 1.0f, 8.0f, -4.0f, -2.0f);

    const QList<float> edges { 1, 4, 12, 13, 15, 17, 18 };
    const QList<PageStep> texts = textSteps(steps);
    QCOMPARE(texts.size(), 3 * 7);
    const double line = page.lineHeight();
    for (int i = 0; i < texts.size(); ++i) {
        const int row = i / 7;
        const int column = i % 7;
        QCOMPARE(texts.at(i).x, edges.at(column));
        QCOMPARE(texts.at(i).y, 8.0 + row * line);
        QCOMPARE(texts.at(i).bold, row == 0);
        QCOMPARE(texts.at(i).fontSize, 9.0);
        QCOMPARE(texts.at(i).text,
                 row == 0 ? orderColumns.at(column).caption : QStringLiteral("r%1c%2").arg(row - 1).arg(column));
    }
    QCOMPARE(steps.last().kind, PageStep::Kind::End);
    QCOMPARE(countSteps(steps, PageStep::Kind::End), 1);
    QVERIFY(!page.bold());
    // Ending again sends nothing more.
    QVERIFY(page.endDocument());
    QCOMPARE(countSteps(steps, PageStep::Kind::End), 1);

    // Without a line end the position stays just after the text, as wide as
    // it is in the font it was printed in.
    page.setPosition(2.0, 3.0);
    page.printWithoutLineEnd(QStringLiteral("Rab %"));
    page.setFontSize(20);
    QCOMPARE(page.currentX(), 2.0 + steps.last().textSize.width());
}

void TestListViewPrinting::cellsOfSmallLists_data()
{
    QTest::addColumn<QList<float>>("widths");
    QTest::addColumn<QList<QStringList>>("items");
    QTest::addColumn<QStringList>("texts"); // every text printed, in order
    QTest::addColumn<QList<double>>("xs");

    QTest::newRow("no items: captions only")
        << QList<float> { 1440, 3000 } << QList<QStringList> {} << QStringList { "K0", "K1" } << QList<double> { 1, 8 };
    QTest::newRow("one column: no sub-items read")
        << QList<float> { 1440 } << QList<QStringList> { { "a" }, { "b", "never read" } }
        << QStringList { "K0", "a", "b" } << QList<double> { 1, 1, 1 };
    // 450 x 23 is less than the total of 45450: the first column gets no
    // width, and its texts are not printed over the second column's.
    QTest::newRow("share below the total width") << QList<float> { 450, 45000 } << QList<QStringList> { { "a", "b" } }
                                                 << QStringList { "", "K1", "", "b" } << QList<double> { 1, 1, 1, 1 };
    QTest::newRow("sub-items never set print nothing")
        << QList<float> { 1440, 1440, 1440 } << QList<QStringList> { { "only" } }
        << QStringList { "K0", "K1", "K2", "only", "", "" } << QList<double> { 1, 8, 15, 1, 8, 15 };
}

void TestListViewPrinting::cellsOfSmallLists()
{
    QFETCH(QList<float>, widths);
    QFETCH(QList<QStringList>, items);
    QFETCH(QStringList, texts);
    QFETCH(QList<double>, xs);

    const ListViewContent list { columnsOfWidths(widths), items };
    QList<PageStep> steps;
    RecordingPage page(steps);
    page.setFontSize(9);
    printing::PrintListView(page, list, 1.0f, 8.0f, -4.0f, -2.0f);

    const QList<PageStep> printed = textSteps(steps);
    QCOMPARE(printed.size(), texts.size());
    for (int i = 0; i < printed.size(); ++i) {
        QCOMPARE(printed.at(i).text, texts.at(i));
        QCOMPARE(printed.at(i).x, xs.at(i));
        QCOMPARE(printed.at(i).bold, printed.at(i).y == 8.0);
    }
    QCOMPARE(steps.last().kind, PageStep::Kind::End);
}

void TestListViewPrinting::rowsNeverReachBelowTheUsableBottom_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<float>("bottomMargin");
    QTest::addColumn<float>("firstPageBottom");
    QTest::addColumn<double>("firstBottom");
    QTest::addColumn<double>("laterBottom");

    QTest::newRow("order form, 120 lines") << 120 << -2.0f << 24.5f << 24.5 << 28.7;
    QTest::newRow("order form, 44 lines just fit") << 44 << -2.0f << 24.5f << 24.5 << 28.7;
    QTest::newRow("negative margin never beyond the page") << 150 << -2.0f << unlimited << 28.7 << 28.7;
    QTest::newRow("positive margin keeps the bottom free") << 150 << 3.0f << unlimited << 25.7 << 25.7;
}

void TestListViewPrinting::rowsNeverReachBelowTheUsableBottom()
{
    QFETCH(int, rows);
    QFETCH(float, bottomMargin);
    QFETCH(float, firstPageBottom);
    QFETCH(double, firstBottom);
    QFETCH(double, laterBottom);

    const auto list = listWith(orderColumns, rows);
    QList<PageStep> steps;
    RecordingPage page(steps);
    page.setFontSize(9);
    const double line = page.lineHeight();
    printing::PrintListView(page, list, 1.0f, 8.0f, -4.0f, bottomMargin, firstPageBottom);

    QStringList firstColumn;
    QMap<int, double> lowestRowTop;
    QMap<int, int> rowsOnPage;
    const QList<PageStep> texts = textSteps(steps);
    for (int i = 0; i < texts.size(); ++i) {
        const PageStep& s = texts.at(i);
        const bool heading = s.bold;
        // Each page opens with the bold captions at the top margin.
        if (i == 0 || texts.at(i - 1).page != s.page) {
            QVERIFY(heading);
            QCOMPARE(s.y, 8.0);
            QCOMPARE(s.text, QStringLiteral("Artikelnr"));
        }
        if (heading)
            continue;
        QVERIFY2(s.y + line <= (s.page == 1 ? firstBottom : laterBottom) + 1e-6,
                 qPrintable(QStringLiteral("%1 at %2 cm on page %3").arg(s.text).arg(s.y).arg(s.page)));
        if (s.x == 1.0) {
            firstColumn.append(s.text);
            rowsOnPage[s.page] += 1;
            lowestRowTop[s.page] = s.y;
        }
    }
    // No line lost, none twice, in list order.
    QCOMPARE(firstColumn.size(), rows);
    for (int r = 0; r < rows; ++r)
        QCOMPARE(firstColumn.at(r), QStringLiteral("r%1c0").arg(r));
    // A page is left only when the next row would not fit on it.
    const int pages = int(rowsOnPage.size());
    for (int p = 1; p < pages; ++p)
        QVERIFY(lowestRowTop.value(p) + 2 * line > (p == 1 ? firstBottom : laterBottom));
    QCOMPARE(countSteps(steps, PageStep::Kind::NewPage), pages - 1);
    QCOMPARE(countSteps(steps, PageStep::Kind::End), 1);
    if (rows == 120)
        QCOMPARE(rowsOnPage, (QMap<int, int> { { 1, 44 }, { 2, 55 }, { 3, 21 } }));
    if (rows == 44)
        QCOMPARE(pages, 1);
}

void TestListViewPrinting::rowTooTallForAnyPageStillPrintsOnce()
{
    const auto list = listWith(columnsOfWidths({ 1000 }), 2);
    QList<PageStep> steps;
    RecordingPage page(steps, 20.0, 8.5);
    page.setFontSize(9);
    printing::PrintListView(page, list, 1.0f, 8.0f, 0.0f, 0.0f);

    // The first page keeps its captions alone; each later page takes one row.
    const QList<PageStep> texts = textSteps(steps);
    QCOMPARE(texts.size(), 5);
    QCOMPARE(texts.at(2).text, QStringLiteral("r0c0"));
    QCOMPARE(texts.at(2).page, 2);
    QCOMPARE(texts.at(4).text, QStringLiteral("r1c0"));
    QCOMPARE(texts.at(4).page, 3);
}

void TestListViewPrinting::cellsKeepToTheirColumns_data()
{
    QTest::addColumn<QList<TableColumn>>("columns");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    for (int c = 0; c < orderColumns.size(); ++c)
        QTest::addRow("name in %s", qPrintable(orderColumns.at(c).caption.trimmed())) << orderColumns << c << longName;
    QTest::newRow("one long word in Rab %") << orderColumns << 5 << QString(40, QLatin1Char('9'));
    // "Benämning" dragged wider on screen: the last column would end past the page.
    QList<TableColumn> widened = orderColumns;
    widened[1].widthTwips = 4500;
    QTest::newRow("name in Radsumma, past the page") << widened << 6 << longName;
}

// A text wider than its column goes on below in its column, whole, and the
// next row comes below it: nothing stands over its neighbours.
void TestListViewPrinting::cellsKeepToTheirColumns()
{
    QFETCH(QList<TableColumn>, columns);
    QFETCH(int, column);
    QFETCH(QString, text);

    ListViewContent list = listWith(columns, 2);
    list.items[0][column] = text;
    QList<PageStep> steps;
    RecordingPage page(steps);
    page.setFontSize(9);
    printing::PrintListView(page, list, 1.0f, 8.0f, -4.0f, -2.0f);

    QCOMPARE(overprinted(steps, page.printableWidth()), QString());
    QString printed;
    for (const PageStep& s : textSteps(steps).mid(columns.size()))
        printed += s.x == textSteps(steps).at(column).x && s.text != QStringLiteral("r1c%1").arg(column) ? s.text : "";
    QCOMPARE(printed.remove(u' '), text.remove(u' '));
}

QTEST_MAIN(TestListViewPrinting)
#include "tst_listviewprinting.moc"
