// Removing order lines: the list and the basket file stay two copies of the
// same lines.

#include "datafiles/records.h"
#include "orderwindow/frmmain.h"
#include "orderwindow/reportlistview.h"
#include "orderwindow/textbox.h"
#include "pickers/frmaddproduct.h"
#include "retrieval/messagebox.h"
#include "support/testsupport.h"

#include <QAction>
#include <QDir>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QTest>

namespace {

QStringList line(int n)
{
    const QString nr = QString::number(n);
    return { QStringLiteral("A-") + nr,
             QStringLiteral("Vara ") + nr,
             QStringLiteral("st"),
             QStringLiteral("1.00"),
             nr,
             QString(),
             nr + QStringLiteral(".00") };
}

QByteArray records(const QList<int>& numbers)
{
    QByteArray bytes;
    for (int n : numbers)
        bytes += datafiles::quotedRecord(line(n));
    return bytes;
}

void selectRows(ReportListView* list, const QList<int>& rows)
{
    list->selectionModel()->clearSelection();
    for (int row : rows)
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

} // namespace

class TestOrderLines : public QObject
{
    Q_OBJECT

private slots:
    void removeSelectedLines_data();
    void removeSelectedLines();
    void failureShowsErrorBoxAndKeepsRemoval();
    void deleteKeyRemovesOnlyFromTheList();
    void contextMenuAddOpensProductPicker();
};

void TestOrderLines::removeSelectedLines_data()
{
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QList<int>>("left"); // line numbers, counted from 1

    QTest::newRow("second of two") << 2 << QList<int> { 1 } << QList<int> { 1 };
    QTest::newRow("all") << 3 << QList<int> { 0, 1, 2 } << QList<int> {};
    QTest::newRow("first and last") << 4 << QList<int> { 0, 3 } << QList<int> { 2, 3 };
    QList<int> many;
    QList<int> kept;
    for (int row = 0; row < 300; ++row)
        (row % 3 == 1 ? kept : many).append(row);
    for (int& row : kept)
        ++row;
    QTest::newRow("hundreds, every third kept") << 300 << many << kept;
}

void TestOrderLines::removeSelectedLines()
{
    QFETCH(int, lineCount);
    QFETCH(QList<int>, selected);
    QFETCH(QList<int>, left);

    TestDataFolder folder;
    FrmMain order(folder.data());
    order.txt_OrderNr()->setText(QStringLiteral("42"));
    QList<int> all;
    for (int n = 1; n <= lineCount; ++n) {
        order.ListView1()->reportModel()->appendRow(line(n));
        all.append(n);
    }
    folder.write(QStringLiteral("Order/42.basket.dbf"), records(all));

    selectRows(order.ListView1(), selected);
    MessageBox::Recorder recorder;
    order.RemoveSelectedLines();

    QVERIFY(recorder.shown.isEmpty());
    QCOMPARE(folder.read(QStringLiteral("Order/42.basket.dbf")), records(left));
    QVERIFY(folder.exists(QStringLiteral("Order/42.basket.dbf")));
    QList<QStringList> rows;
    for (int n : left)
        rows.append(line(n));
    QCOMPARE(order.ListView1()->reportModel()->rows(), rows);
    int total = 0;
    for (int n : left)
        total += n;
    QCOMPARE(order.lbl_exkl()->text(), QString::number(total) + QStringLiteral(".00"));

    // With nothing selected neither the list nor the file changes, and no file
    // is made for an order that has none.
    order.txt_OrderNr()->setText(QStringLiteral("43"));
    order.RemoveSelectedLines();
    QCOMPARE(order.ListView1()->reportModel()->rows(), rows);
    QVERIFY(!folder.exists(QStringLiteral("Order/43.basket.dbf")));
}

void TestOrderLines::failureShowsErrorBoxAndKeepsRemoval()
{
    TestDataFolder folder;
    FrmMain order(folder.data());
    order.ListView1()->reportModel()->appendRows({ line(1), line(2) });
    QVERIFY(QDir(folder.path(QStringLiteral("Order"))).removeRecursively());
    selectRows(order.ListView1(), { 0 });
    MessageBox::Recorder recorder;

    order.RemoveSelectedLines();

    QCOMPARE(recorder.shown.size(), 1);
    QCOMPARE(recorder.shown.first().icon, MessageBox::Icon::Critical);
    QCOMPARE(recorder.shown.first().title, QStringLiteral("Felmeddelande"));
    QCOMPARE(recorder.shown.first().text, QStringLiteral("Det blev något fel\r\nError: 1033,87"));
    QCOMPARE(order.ListView1()->reportModel()->rows(), QList<QStringList> { line(2) });
}

void TestOrderLines::deleteKeyRemovesOnlyFromTheList()
{
    TestDataFolder folder;
    FrmMain order(folder.data());
    QVERIFY(showActive(order));
    order.ListView1()->reportModel()->appendRows({ line(1), line(2) });
    order.txt_Info()->setText(QStringLiteral("abc"));

    selectRows(order.ListView1(), { 0 });
    order.txt_Info()->setFocus();
    order.txt_Info()->setCursorPosition(0);
    QTest::keyClick(order.txt_Info(), Qt::Key_Delete);
    QCOMPARE(order.txt_Info()->text(), QStringLiteral("bc"));
    QCOMPARE(order.ListView1()->reportModel()->rowCount(), 2);

    order.ListView1()->setFocus();
    QTest::keyClick(order.ListView1(), Qt::Key_Delete);
    QCOMPARE(order.ListView1()->reportModel()->rows(), QList<QStringList> { line(2) });
    QCOMPARE(folder.read(QStringLiteral("Order/1.basket.dbf")), records({ 2 }));
}

void TestOrderLines::contextMenuAddOpensProductPicker()
{
    TestDataFolder folder;
    folder.write(QStringLiteral("Registret/Produkter.dbf"), "\"A-1\",\"Vara\",\"st\",\"1.00\"\r\n");
    FrmMain order(folder.data());
    auto* add = order.mnuPop1()->findChild<QAction*>(QStringLiteral("mnuPlus"));
    QVERIFY(add);
    add->trigger();
    FrmAddProduct* picker = visibleWindow<FrmAddProduct>();
    QVERIFY(picker);
    QCOMPARE(picker->ListView1()->model()->rowCount(), 1);
}

QTEST_MAIN(TestOrderLines)
#include "tst_orderlines.moc"
