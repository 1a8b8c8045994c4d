// The order window's boxes and its order stay in step: what the operator types
// goes into the order, and what the window puts into the order shows in the
// boxes, without coming back into the order a second time.

#include "order/numbering.h"
#include "order/order.h"
#include "support/testsupport.h"
#include "widgets/reportlistview.h"
#include "widgets/textbox.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QTest>

using core::Order;
using core::OrderLine;

Q_DECLARE_METATYPE(Order::Field)

namespace {

const struct
{
    const char* box;
    Order::Field field;
} headBoxes[] = {
    { "txt_KundField0", Order::CustomerNumber },
    { "txt_KundField1", Order::CustomerLine1 },
    { "txt_KundField2", Order::CustomerLine2 },
    { "txt_KundField3", Order::CustomerLine3 },
    { "txt_Info", Order::Info },
    { "txt_OrderNr", Order::OrderNumber },
    { "txt_lpl", Order::Lpl },
    { "txt_LevS", Order::DeliveryMethod },
    { "txt_Frkts", Order::FreightMethod },
    { "txt_Betk", Order::PaymentTerms },
    { "txt_LevDat", Order::DeliveryDate },
    { "txt_OrdDat", Order::OrderDate },
    { "txt_RegNr", Order::RegistrationNumber },
    { "txt_Mkod", Order::VatCode },
};

// Every box shows the text of its field of the order.
void verifyBoxesShow(const OrderDesk& desk, const Order& order)
{
    for (const auto& head : headBoxes) {
        TextBox* box = desk.box(head.box);
        QVERIFY2(box, head.box);
        QCOMPARE(box->text(), order.text(head.field));
    }
}

// An order that a window could not have typed: texts longer than the boxes
// take, a two-character code in a one-character box, and a VAT rate that its
// present code does not give.
Order storedOrder()
{
    Order order;
    order.setText(Order::CustomerNumber, QStringLiteral("1042"));
    order.setText(Order::CustomerLine1, QStringLiteral("Bergström Bygg AB, Avdelningen för tak och plåt"));
    order.setText(Order::CustomerLine2, QStringLiteral("Industrivägen 14"));
    order.setText(Order::CustomerLine3, QStringLiteral("433 38  Partille"));
    order.setText(Order::Info, QStringLiteral("Ring \"före\" leverans, tack"));
    order.setText(Order::OrderNumber, QStringLiteral("1042"));
    order.setText(Order::Lpl, QStringLiteral("411"));
    order.setText(Order::DeliveryMethod, QStringLiteral("2"));
    order.setText(Order::FreightMethod, QStringLiteral("10"));
    order.setText(Order::PaymentTerms, QStringLiteral("1"));
    order.setText(Order::DeliveryDate, QStringLiteral("261207"));
    order.setText(Order::OrderDate, QStringLiteral("261206"));
    order.setText(Order::RegistrationNumber, QStringLiteral("ABC123"));
    order.setText(Order::VatCode, QStringLiteral("0"));
    order.setText(Order::VatCode, QStringLiteral("2"));
    order.appendLine(OrderLine::fromList({ "A-1", "Hängränna", "st", "149.00", "2", "", "298.00" }));
    return order;
}

} // namespace

class TestBoxesAndOrder : public QObject
{
    Q_OBJECT

private slots:
    void typingGoesIntoTheOrder_data();
    void typingGoesIntoTheOrder();
    void typingInTheMiddleStaysThere();
    void pasteGoesIntoTheOrder();
    void showOrderShowsItWhole_data();
    void showOrderShowsItWhole();
    void newOrderAndLookupShowTheOrder();
};

void TestBoxesAndOrder::typingGoesIntoTheOrder_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<Order::Field>("field");
    for (const auto& head : headBoxes) {
        if (head.field != Order::OrderNumber) // read-only for the operator
            QTest::newRow(head.box) << head.box << head.field;
    }
}

void TestBoxesAndOrder::typingGoesIntoTheOrder()
{
    QFETCH(QString, box);
    QFETCH(Order::Field, field);
    OrderDesk desk;
    TextBox* typedInto = desk.box(qPrintable(box));
    Order expected = desk.order();

    QTest::keyClicks(typedInto, QStringLiteral("7"));
    expected.setText(field, QStringLiteral("7"));
    QCOMPARE(desk.order(), expected);
    QTest::keyClick(typedInto, Qt::Key_Backspace);
    QTest::keyClicks(typedInto, QStringLiteral("0"));
    expected.setText(field, QString());
    expected.setText(field, QStringLiteral("0"));
    QCOMPARE(desk.order(), expected);
    verifyBoxesShow(desk, expected);
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestBoxesAndOrder::typingInTheMiddleStaysThere()
{
    // Were the order's text written back into the box as the operator types,
    // the cursor would jump to the end.
    OrderDesk desk;
    TextBox* info = desk.box("txt_Info");
    QTest::keyClicks(info, QStringLiteral("leverans"));
    info->setCursorPosition(0);
    QTest::keyClicks(info, QStringLiteral("Ring och "));
    QCOMPARE(info->text(), QStringLiteral("Ring och leverans"));
    QCOMPARE(info->cursorPosition(), 9);
    QCOMPARE(desk.order().text(Order::Info), QStringLiteral("Ring och leverans"));
}

void TestBoxesAndOrder::pasteGoesIntoTheOrder()
{
    OrderDesk desk;
    TextBox* date = desk.box("txt_LevDat");
    QApplication::clipboard()->setText(QStringLiteral("20261207"));
    date->setFocus();
    QTest::keyClick(date, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(date->text(), QStringLiteral("202612"));
    QCOMPARE(desk.order().text(Order::DeliveryDate), QStringLiteral("202612"));
}

void TestBoxesAndOrder::showOrderShowsItWhole_data()
{
    QTest::addColumn<QString>("typedVatCode"); // before the order is shown
    QTest::newRow("nothing typed") << "";
    QTest::newRow("another rate typed") << "1";
}

void TestBoxesAndOrder::showOrderShowsItWhole()
{
    QFETCH(QString, typedVatCode);
    OrderDesk desk;
    QTest::keyClicks(desk.box("txt_Mkod"), typedVatCode);
    QTest::keyClicks(desk.box("txt_KundField1"), QStringLiteral("Skrivet innan"));

    const Order stored = storedOrder();
    desk.window.showOrder(stored);

    // The order is the one shown, texts, VAT rate and lines, and the boxes show
    // it whole, beyond what the operator could type.
    QCOMPARE(desk.order(), stored);
    QCOMPARE(desk.order().vatRate(), QStringLiteral("25"));
    verifyBoxesShow(desk, stored);
    QCOMPARE(desk.lines()->model()->rowCount(), 1);
    QCOMPARE(desk.lines()->model()->index(0, 1).data().toString(), QStringLiteral("Hängränna"));
    // Showing writes no file.
    QCOMPARE(QDir(desk.folder.path("Order")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());

    // An order that never held a VAT code from the table has no rate, whatever
    // the order before it had.
    Order fresh;
    for (int field = 0; field < Order::fieldCount; ++field)
        fresh.setText(Order::Field(field), stored.text(Order::Field(field)));
    fresh.setText(Order::Info, QStringLiteral("Utan moms"));
    QCOMPARE(fresh.vatRate(), QString());
    desk.window.showOrder(fresh);
    QCOMPARE(desk.order(), fresh);
    verifyBoxesShow(desk, fresh);

    // The boxes go on feeding the order after it was shown.
    QTest::keyClicks(desk.box("txt_Mkod"), QStringLiteral("9"));
    QCOMPARE(desk.order().text(Order::VatCode), QStringLiteral("29"));
    desk.box("txt_Mkod")->clear();
    QTest::keyClicks(desk.box("txt_Mkod"), QStringLiteral("3"));
    QCOMPARE(desk.order().vatRate(), QStringLiteral("6"));
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestBoxesAndOrder::newOrderAndLookupShowTheOrder()
{
    OrderDesk desk({ { "Registret/OrderNr.dbf", "1041\r\n" },
                     { "Customer/1042.GetInfo.dbf", "1042\r\nLind, Karin\r\n\"Box 12\"\r\n" } });
    QVERIFY(showActive(desk.window));
    desk.window.showOrder(storedOrder());

    QTest::keyClick(&desk.window, Qt::Key_F1);
    QCOMPARE(desk.order().text(Order::OrderNumber), QStringLiteral("1042"));
    QCOMPARE(desk.order().text(Order::FreightMethod), QStringLiteral("0"));
    verifyBoxesShow(desk, desk.order());

    desk.box("txt_KundField0")->setFocus();
    desk.box("txt_KundField0")->selectAll();
    QTest::keyClicks(desk.box("txt_KundField0"), QStringLiteral("1042"));
    QTest::keyClick(desk.box("txt_KundField0"), Qt::Key_Return);
    QCOMPARE(desk.order().text(Order::CustomerLine1), QStringLiteral("Lind, Karin"));
    QCOMPARE(desk.order().text(Order::CustomerLine2), QStringLiteral("\"Box 12\""));
    QCOMPARE(desk.order().text(Order::CustomerLine3), QString());
    verifyBoxesShow(desk, desk.order());

    // Both left the rest of the order as it was.
    Order expected = storedOrder();
    core::startNewOrder(expected, QStringLiteral("1042"), QDate(2026, 12, 6));
    expected.setText(Order::CustomerNumber, QStringLiteral("1042"));
    expected.setText(Order::CustomerLine1, QStringLiteral("Lind, Karin"));
    expected.setText(Order::CustomerLine2, QStringLiteral("\"Box 12\""));
    expected.setText(Order::CustomerLine3, QString());
    QCOMPARE(desk.order(), expected);
    QVERIFY(desk.boxes.shown.isEmpty());
}

QTEST_MAIN(TestBoxesAndOrder)
#include "tst_boxesandorder.moc"
