// The retrieval window: the printed orders listed, and the chosen order's lines
// added to the order on screen, reached with the order window's "Hämta underlag".

#include "order/basket.h"
#include "order/order.h"
#include "order/registration.h"
#include "retrieval/frmgetinfo.h"
#include "support/testsupport.h"
#include "widgets/messagebox.h"
#include "widgets/reportlistview.h"
#include "widgets/textbox.h"

#include <QCoreApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using Rows = QList<QStringList>;
using Field = core::Order::Field;

namespace {

const QString orderList = QStringLiteral("Order/lista.dbf");

const QByteArray basket124 = QByteArray("\"A100\",\"Skruv, rostfri\",\"st\",\"2.50\",\"4\",\"0\",\"10.00\"\r\n"
                                        "\"B7\",\"L\xE5s\",\"st\",\"100.00\",\"1\",\"10\",\"90.00\"\r\n");
const Rows lines124 = { { "A100", "Skruv, rostfri", "st", "2.50", "4", "0", "10.00" },
                        { "B7", "Lås", "st", "100.00", "1", "10", "90.00" } };

const QString basketFile = QStringLiteral("Order/124.basket.dbf");
const QByteArray order124 = "\"060315\",\"124\",\"1001\",\"ABC\"\r\n";
const QStringList lineC1 = { "C1", "Mutter", "st", "1.00", "3", "0", "3.00" };

// The order window's "Hämta underlag" and the retrieval window it shows.
FrmGetInfo* openRetrieval(OrderDesk& desk)
{
    return desk.open<FrmGetInfo>("mnuHamta");
}

// Chooses a printed order and fetches its lines, as the operator does.
void fetch(FrmGetInfo* window, int row)
{
    if (row >= 0)
        clickRow(window->orderList(), row, 2);
    QTest::mouseClick(window->fetchButton(), Qt::LeftButton);
}

// The order on screen with these lines and nothing else of note.
void showLines(OrderDesk& desk, const Rows& rows)
{
    core::Order order;
    order.setLines(orderLinesOf(rows));
    desk.show(order);
}

} // namespace

class TestFrmGetInfo : public QObject
{
    Q_OBJECT

private slots:
    void printedOrdersAreListed_data();
    void printedOrdersAreListed();
    void fetchAppendsAfterTheOrdersOwnLines();
    void fetchingTheDesksOwnOrderTwice();
    void voidedOrderIsFetchedOnlyWhenConfirmed();
    void fetchTakesTheSelectedOrderNumberAsShown_data();
    void fetchTakesTheSelectedOrderNumberAsShown();
    void fetchThatFindsNoLines_data();
    void fetchThatFindsNoLines();
};

void TestFrmGetInfo::printedOrdersAreListed_data()
{
    QTest::addColumn<bool>("listExists");
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<Rows>("rows");

    // How the list's records read is the archive's; the window lists them all,
    // an order printed twice twice, with the state the status file gives.
    QTest::newRow("printings in file order")
        << true
        << QByteArray(
               "\"060315\",\"124\",\"1001\",\"Svensson, Nils\"\r\n\"060316\",\"125\",\"1002\",\"\xC5kes F\xE4rg\"\r\n"
               "\"060317\",\"124\",\"1001\",\"Svensson, Nils\"\r\n")
        << Rows { { "060315", "124", "1001", "Svensson, Nils", "Registrerad" },
                  { "060316", "125", "1002", "Åkes Färg", "Levererad" },
                  { "060317", "124", "1001", "Svensson, Nils", "Registrerad" } };
    QTest::newRow("nothing printed yet") << false << QByteArray() << Rows {};
}

void TestFrmGetInfo::printedOrdersAreListed()
{
    QFETCH(bool, listExists);
    QFETCH(QByteArray, list);
    QFETCH(Rows, rows);
    OrderDesk desk(listExists ? OrderDesk::Files { { orderList, list } } : OrderDesk::Files {});
    desk.folder.write("Order/status.dbf", "\"125\",\"Levererad\",\"2026-12-06 00:00:00\",\"\"\r\n");

    FrmGetInfo* window = openRetrieval(desk);
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Hämta underlag"));
    QCOMPARE(window->orderList()->reportModel()->rows(), rows);
    QCOMPARE(window->orderList()->firstSelectedRow(), -1);
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestFrmGetInfo::fetchAppendsAfterTheOrdersOwnLines()
{
    const QByteArray ownRecord = "\"C1\",\"Mutter\",\"st\",\"1.00\",\"3\",\"0\",\"3.00\"\r\n";
    OrderDesk desk(
        { { orderList, "\"060315\",\"123\",\"1001\",\"ABC\"\r\n\"060316\",\"124\",\"1002\",\"Bygg AB\"\r\n" },
          { basketFile, basket124 },
          { "Order/125.basket.dbf", ownRecord } });
    // The order on screen is order 125, with a line of its own.
    core::Order shown;
    shown.setText(Field::OrderNumber, QStringLiteral("125"));
    shown.setText(Field::CustomerNumber, QStringLiteral("1002"));
    shown.setLines(orderLinesOf({ lineC1 }));
    desk.show(shown);

    FrmGetInfo* window = openRetrieval(desk);
    QVERIFY(window);
    fetch(window, 1);
    QCOMPARE(window->orderList()->selectedRows(), QList<int> { 1 });
    QCOMPARE(rowsOf(desk.lines()), Rows { lineC1 } + lines124);
    QCOMPARE(desk.order().lines(), orderLinesOf(Rows { lineC1 } + lines124));
    QVERIFY(desk.boxes.shown.isEmpty());

    // The fetched lines are the order's own now: its basket holds them, so
    // that the printed order's archive has every line its paper shows.
    QCOMPARE(desk.folder.read("Order/125.basket.dbf"), ownRecord + basket124);
    QCOMPARE(desk.folder.read(basketFile), basket124);
    QCOMPARE(desk.box("txt_OrderNr")->text(), QStringLiteral("125"));
    shown.setLines(desk.order().lines());
    QCOMPARE(desk.order(), shown);
}

void TestFrmGetInfo::fetchingTheDesksOwnOrderTwice()
{
    // Order 124 is printed and stays on the desk, as after F9.
    OrderDesk desk;
    core::Order printed;
    printed.setText(Field::OrderNumber, QStringLiteral("124"));
    printed.setLines(orderLinesOf({ lineC1 }));
    QVERIFY(!core::rewriteBasket(desk.folder.data(), QStringLiteral("124"), printed.lines()));
    QVERIFY(!core::registerOrder(desk.folder.data(), printed));
    desk.show(printed);

    // Each fetch copies the one line it was printed with, not what the
    // fetch before it added to the order's basket.
    FrmGetInfo* window = openRetrieval(desk);
    QVERIFY(window);
    fetch(window, 0);
    fetch(window, 0);
    QCOMPARE(rowsOf(desk.lines()), (Rows { lineC1, lineC1, lineC1 }));
    QCOMPARE(core::readBasket(desk.folder.data(), QStringLiteral("124")).lines, desk.order().lines());
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestFrmGetInfo::voidedOrderIsFetchedOnlyWhenConfirmed()
{
    OrderDesk desk({ { orderList, order124 },
                     { basketFile, basket124 },
                     { "Order/status.dbf", "\"124\",\"Makulerad\",\"2026-12-05 10:00:00\",\"Fel kund\"\r\n" } });
    desk.boxes.answers = { false, true };
    FrmGetInfo* window = openRetrieval(desk);
    QVERIFY(window);
    fetch(window, 0);
    QCOMPARE(rowsOf(desk.lines()), Rows {});
    fetch(window, 0);
    QCOMPARE(rowsOf(desk.lines()), lines124);
    // The history's question, word for word, each time.
    QCOMPARE(desk.boxes.shown.size(), 2);
    QCOMPARE(desk.boxes.shown.last().title, QStringLiteral("Makulerad order"));
    QCOMPARE(desk.boxes.shown.last().text,
             QStringLiteral("Order 124 är makulerad.\r\nOrsak: Fel kund\r\n\r\nVill du ändå hämta dess rader?"));
}

void TestFrmGetInfo::fetchTakesTheSelectedOrderNumberAsShown_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("firstArticle");
    QTest::addColumn<bool>("byKeys"); // Down chooses the first order, Enter fetches it

    QTest::newRow("124") << 0 << "A100" << false;
    QTest::newRow("0124 is another order") << 1 << "Z9" << false;
    QTest::newRow("124 printed again") << 2 << "A100" << false;
    QTest::newRow("124, by keys") << 0 << "A100" << true;
}

void TestFrmGetInfo::fetchTakesTheSelectedOrderNumberAsShown()
{
    QFETCH(int, row);
    OrderDesk desk({ { orderList, order124 + "\"060316\",\"0124\",\"1001\",\"ABC\"\r\n" + order124 },
                     { basketFile, basket124 },
                     { "Order/0124.basket.dbf", "\"Z9\",\"Zink\",\"kg\",\"5.00\",\"1\",\"0\",\"5.00\"\r\n" } });

    FrmGetInfo* window = openRetrieval(desk);
    QVERIFY(window);
    QFETCH(bool, byKeys);
    if (byKeys) {
        QVERIFY(showActive(*window));
        window->orderList()->setFocus();
        QTest::keyClick(window->orderList(), Qt::Key_Down);
        QTest::keyClick(window->orderList(), Qt::Key_Return);
    } else {
        fetch(window, row);
    }
    QVERIFY(!rowsOf(desk.lines()).isEmpty());
    QTEST(rowsOf(desk.lines()).first().first(), "firstArticle");
}

void TestFrmGetInfo::fetchThatFindsNoLines_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("basket");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty list") << QByteArray() << -1 << QByteArray() << "Välj först";
    QTest::newRow("no row chosen") << order124 << -1 << basket124 << "Välj först";
    QTest::newRow("printed without lines") << order124 << 0 << QByteArray() << "Order 124 har inga sparade orderrader.";
    QTest::newRow("empty basket file") << order124 << 0 << QByteArray("") << QString();
}

void TestFrmGetInfo::fetchThatFindsNoLines()
{
    QFETCH(QByteArray, list);
    QFETCH(int, row);
    QFETCH(QByteArray, basket);
    QFETCH(QString, message);
    OrderDesk desk({ { orderList, list } });
    if (!basket.isNull())
        desk.folder.write(basketFile, basket);
    showLines(desk, { lineC1 });

    FrmGetInfo* window = openRetrieval(desk);
    QVERIFY(window);
    fetch(window, row);

    QCOMPARE(rowsOf(desk.lines()), Rows { lineC1 });
    QCOMPARE(desk.order().lines(), orderLinesOf({ lineC1 }));
    QCOMPARE(desk.boxes.shown.size(), message.isEmpty() ? 0 : 1);
    if (message.isEmpty())
        return;
    const MessageBox::Shown& box = desk.boxes.shown.first();
    QVERIFY2(box.text.startsWith(message), qPrintable(box.text));
    QCOMPARE(box.icon, MessageBox::Icon::Information);
    QCOMPARE(box.title, QStringLiteral("Orderregistrering"));
}

QTEST_MAIN(TestFrmGetInfo)
#include "tst_frmgetinfo.moc"
