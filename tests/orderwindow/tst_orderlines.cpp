// Removing order lines in the order window: the list, the order and the basket
// file stay copies of the same lines.

#include "datafiles/records.h"
#include "order/order.h"
#include "order/totals.h"
#include "pickers/frmaddproduct.h"
#include "support/testsupport.h"
#include "widgets/reportlistview.h"
#include "widgets/textbox.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTest>

using core::Order;
using core::OrderLine;

namespace {

QStringList line(int n)
{
    const QString nr = QString::number(n);
    return { "A-" + nr, "Vara " + nr, "st", "1.00", nr, "", nr + ".00" };
}

QList<QStringList> lines(const QList<int>& numbers)
{
    QList<QStringList> texts;
    for (int n : numbers)
        texts.append(line(n));
    return texts;
}

QList<OrderLine> orderLines(const QList<int>& numbers)
{
    QList<OrderLine> made;
    for (int n : numbers)
        made.append(OrderLine::fromList(line(n)));
    return made;
}

QByteArray records(const QList<int>& numbers)
{
    QByteArray bytes;
    for (int n : numbers)
        bytes += datafiles::quotedRecord(line(n));
    return bytes;
}

// The texts of every row of the list, as the operator sees them.
QList<QStringList> shownRows(ReportListView* list)
{
    QList<QStringList> rows;
    const QAbstractItemModel* model = list->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList texts;
        for (int column = 0; column < model->columnCount(); ++column)
            texts.append(model->index(row, column).data().toString());
        rows.append(texts);
    }
    return rows;
}

// Puts an order with these lines on the desk, as its basket file holds them.
void showLines(OrderDesk& desk, const QString& orderNumber, const QList<int>& numbers)
{
    Order order;
    order.setText(Order::OrderNumber, orderNumber);
    order.setLines(orderLines(numbers));
    desk.window.showOrder(order);
    desk.folder.write("Order/" + orderNumber + ".basket.dbf", records(numbers));
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

    OrderDesk desk;
    QList<int> all;
    for (int n = 1; n <= lineCount; ++n)
        all.append(n);
    showLines(desk, QStringLiteral("42"), all);

    selectRows(desk.lines(), selected);
    desk.choose("mnuMinus");

    QVERIFY(desk.boxes.shown.isEmpty());
    QVERIFY(desk.folder.exists("Order/42.basket.dbf"));
    QCOMPARE(desk.folder.read("Order/42.basket.dbf"), records(left));
    QCOMPARE(shownRows(desk.lines()), lines(left));
    QCOMPARE(desk.order().lines(), orderLines(left));
    int total = 0;
    for (int n : left)
        total += n;
    QCOMPARE(core::totalsOf(desk.order()).exclusiveOfVat, QString::number(total) + QStringLiteral(".00"));

    // With nothing selected neither the list nor the file changes, and no file
    // is made for an order that has none.
    desk.box("txt_OrderNr")->setText(QStringLiteral("43"));
    desk.lines()->selectionModel()->clearSelection();
    desk.choose("mnuMinus");
    QCOMPARE(shownRows(desk.lines()), lines(left));
    QCOMPARE(desk.order().lines(), orderLines(left));
    QVERIFY(!desk.folder.exists("Order/43.basket.dbf"));
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestOrderLines::failureShowsErrorBoxAndKeepsRemoval()
{
    OrderDesk desk;
    showLines(desk, QStringLiteral("1"), { 1, 2 });
    desk.folder.remove("Order");
    selectRows(desk.lines(), { 0 });

    desk.choose("mnuMinus");

    QCOMPARE(desk.boxes.shown.size(), 1);
    QCOMPARE(desk.boxes.shown.first().icon, MessageBox::Icon::Critical);
    QCOMPARE(desk.boxes.shown.first().title, QStringLiteral("Felmeddelande"));
    QCOMPARE(desk.boxes.shown.first().text, QStringLiteral("Det blev något fel\r\nError: 1033,87"));
    QCOMPARE(shownRows(desk.lines()), lines({ 2 }));
    QCOMPARE(desk.order().lines(), orderLines({ 2 }));
}

void TestOrderLines::deleteKeyRemovesOnlyFromTheList()
{
    OrderDesk desk;
    QVERIFY(showActive(desk.window));
    showLines(desk, QStringLiteral("1"), { 1, 2 });
    TextBox* info = desk.box("txt_Info");
    info->setText(QStringLiteral("abc"));

    // In a text box Del deletes a character.
    selectRows(desk.lines(), { 0 });
    info->setFocus();
    info->setCursorPosition(0);
    QTest::keyClick(info, Qt::Key_Delete);
    QCOMPARE(info->text(), QStringLiteral("bc"));
    QCOMPARE(desk.lines()->model()->rowCount(), 2);
    QCOMPARE(desk.folder.read("Order/1.basket.dbf"), records({ 1, 2 }));

    // In the list it removes the selected lines.
    desk.lines()->setFocus();
    QTest::keyClick(desk.lines(), Qt::Key_Delete);
    QCOMPARE(shownRows(desk.lines()), lines({ 2 }));
    QCOMPARE(desk.order().lines(), orderLines({ 2 }));
    QCOMPARE(desk.folder.read("Order/1.basket.dbf"), records({ 2 }));
}

void TestOrderLines::contextMenuAddOpensProductPicker()
{
    OrderDesk desk(OrderDesk::Files { { "Registret/Produkter.dbf", "\"A-1\",\"Vara\",\"st\",\"1.00\"\r\n" } });
    auto* popup = desk.window.findChild<QMenu*>(QStringLiteral("mnuPop1"));
    QVERIFY(popup);
    auto* add = popup->findChild<QAction*>(QStringLiteral("mnuPlus"));
    QVERIFY(add);
    add->trigger();
    FrmAddProduct* picker = visibleWindow<FrmAddProduct>();
    QVERIFY(picker);
    QCOMPARE(picker->ListView1()->model()->rowCount(), 1);
}

QTEST_MAIN(TestOrderLines)
#include "tst_orderlines.moc"
