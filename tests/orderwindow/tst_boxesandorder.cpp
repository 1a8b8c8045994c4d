// The order window's boxes, its order-line list and its order stay in step:
// what the operator types goes into the order, and what a command puts into
// the order ("Ny", a customer looked up, an order shown, lines removed) shows
// in the boxes and the list without coming back into the order a second time.
// The rules the commands apply are the core's; here the window applies them.

#include "datafiles/records.h"
#include "order/order.h"
#include "pickers/frmaddproduct.h"
#include "support/testsupport.h"
#include "widgets/reportlistview.h"
#include "widgets/textbox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
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

// The customer boxes, and the customer of the order, top to bottom.
QStringList shownCustomer(const OrderDesk& desk)
{
    return { desk.box("txt_KundField0")->text(), desk.box("txt_KundField1")->text(), desk.box("txt_KundField2")->text(),
             desk.box("txt_KundField3")->text() };
}

QStringList orderedCustomer(const OrderDesk& desk)
{
    const Order& order = desk.order();
    return { order.text(Order::CustomerNumber), order.text(Order::CustomerLine1), order.text(Order::CustomerLine2),
             order.text(Order::CustomerLine3) };
}

void verifyCustomerLinesReadOnly(const OrderDesk& desk, bool readOnly)
{
    for (const char* name : { "txt_KundField1", "txt_KundField2", "txt_KundField3" })
        QVERIFY2(desk.box(name)->isReadOnly() == readOnly, name);
}

// An order that a window could not have typed: texts longer than the boxes
// take, a two-character code in a one-character box, and a VAT rate that its
// present code does not give.
Order storedOrder()
{
    Order order = sampleOrder();
    order.setText(Order::CustomerNumber, QStringLiteral("1042"));
    order.setText(Order::CustomerLine1, QStringLiteral("Bergström Bygg AB, Avdelningen för tak och plåt"));
    order.setText(Order::Info, QStringLiteral("Ring \"före\" leverans, tack"));
    order.setText(Order::OrderNumber, QStringLiteral("1042"));
    order.setText(Order::Lpl, QStringLiteral("411"));
    order.setText(Order::DeliveryMethod, QStringLiteral("2"));
    order.setText(Order::FreightMethod, QStringLiteral("10"));
    order.setText(Order::DeliveryDate, QStringLiteral("261207"));
    order.setText(Order::OrderDate, QStringLiteral("261206"));
    order.setText(Order::VatCode, QStringLiteral("2"));
    order.appendLine(OrderLine::fromList({ "A-1", "Hängränna", "st", "149.00", "2", "", "298.00" }));
    return order;
}

// What the order comes to as the window shows it, a caption and a value a line.
QString shownTotals(const OrderDesk& desk)
{
    QStringList shown;
    for (const QString name : { "lblExklMoms", "lblMoms", "lblAttBetala" })
        shown << desk.window.findChild<QLabel*>(name + "Text")->text() + ' '
                + desk.window.findChild<QLabel*>(name)->text();
    return shown.join(" | ");
}

void clickLegend(OrderWindow& window)
{
    auto* legend = window.findChild<QLabel*>(QStringLiteral("Label26"));
    QVERIFY(legend);
    QCOMPARE(legend->text(), QStringLiteral(" F9 - Skriv ut underlag"));
    QTest::mouseClick(legend, Qt::LeftButton);
}

QByteArray records(const QList<int>& numbers)
{
    QByteArray bytes;
    for (const QStringList& line : numberedLines(numbers))
        bytes += datafiles::quotedRecord(line);
    return bytes;
}

// Puts an order with these lines on the desk, as its basket file holds them.
void showLines(OrderDesk& desk, const QString& orderNumber, const QList<int>& numbers)
{
    Order order;
    order.setText(Order::OrderNumber, orderNumber);
    order.setLines(orderLinesOf(numberedLines(numbers)));
    desk.show(order);
    desk.folder.write("Order/" + orderNumber + ".basket.dbf", records(numbers));
}

void selectRows(ReportListView* list, const QList<int>& rows)
{
    list->selectionModel()->clearSelection();
    for (int row : rows)
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// The list and the order hold these lines.
void verifyLines(const OrderDesk& desk, const QList<int>& numbers)
{
    QCOMPARE(rowsOf(desk.lines()), numberedLines(numbers));
    QCOMPARE(desk.order().lines(), orderLinesOf(numberedLines(numbers)));
}

} // namespace

class TestBoxesAndOrder : public QObject
{
    Q_OBJECT

private slots:
    void typingGoesIntoTheOrder_data();
    void typingGoesIntoTheOrder();
    void typingInTheMiddleStaysThere();
    void pasteIsCleaned_data();
    void pasteIsCleaned();
    void showOrderShowsItWhole();
    void newOrderShowsTheOrder();
    void enterLooksUpTheCustomerAsTyped();
    void enterElsewhereLooksNothingUp_data();
    void enterElsewhereLooksNothingUp();
    void legendClickRecordsNumber();
    void unusableNumberFileIsReported();
    void failureShowsErrorBoxAndKeepsRemoval();
    void deleteKeyRemovesOnlyFromTheList();
    void contextMenuAddOpensProductPicker();
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
    // the cursor would jump to the end. The inch mark becomes the one the
    // files can hold as it is typed.
    OrderDesk desk;
    TextBox* info = desk.box("txt_Info");
    QTest::keyClicks(info, QStringLiteral("leverans 1/2\""));
    info->setCursorPosition(0);
    QTest::keyClicks(info, QStringLiteral("Ring och "));
    QCOMPARE(info->text(), QStringLiteral("Ring och leverans 1/2”"));
    QCOMPARE(info->cursorPosition(), 9);
    QCOMPARE(desk.order().text(Order::Info), QStringLiteral("Ring och leverans 1/2”"));
}

void TestBoxesAndOrder::pasteIsCleaned_data()
{
    QTest::addColumn<QString>("box"); // empty: a box of a register's description, which keeps a tab
    QTest::addColumn<Order::Field>("field");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("shown");
    QTest::newRow("cut to the limit") << "txt_LevDat" << Order::DeliveryDate << "20261207"
                                      << "202612";
    QTest::newRow("control characters") << "txt_Info" << Order::Info
                                        << QStringLiteral("Ring%1 och\tbud\x1B\x7F").arg(QChar(0)) << "Ring ochbud";
    QTest::newRow("a tab where the register keeps one") << "" << Order::Info << "Bult\tM8\r\n"
                                                        << "Bult\tM8";
}

void TestBoxesAndOrder::pasteIsCleaned()
{
    QFETCH(QString, box);
    QFETCH(Order::Field, field);
    QFETCH(QString, pasted);
    OrderDesk desk;
    TextBox description;
    description.setTab(core::Tab::Allowed);
    TextBox* into = box.isEmpty() ? &description : desk.box(qPrintable(box));
    QApplication::clipboard()->setText(pasted);
    into->setFocus();
    QTest::keyClick(into, Qt::Key_V, Qt::ControlModifier);
    QTEST(into->text(), "shown");
    if (!box.isEmpty())
        QTEST(desk.order().text(field), "shown");
}

void TestBoxesAndOrder::showOrderShowsItWhole()
{
    OrderDesk desk;
    // An order that never had a VAT code has no rate.
    QCOMPARE(shownTotals(desk), "Exkl. moms: 0.00 | Moms, okänd sats: okänd | Att betala: okänd");
    QTest::keyClicks(desk.box("txt_KundField1"), QStringLiteral("Skrivet innan"));
    const Order stored = storedOrder();
    desk.show(stored);

    // The boxes show the order whole, beyond what the operator could type,
    // and the list its lines; nothing of it comes back into the order.
    QCOMPARE(desk.order(), stored);
    verifyBoxesShow(desk, stored);
    QCOMPARE(rowsOf(desk.lines()), (QList<QStringList> { stored.lines().first().toList() }));

    // The boxes go on feeding the order after it was shown.
    desk.box("txt_Mkod")->clear();
    QTest::keyClicks(desk.box("txt_Mkod"), QStringLiteral("3"));
    QCOMPARE(desk.order().vatRate(), QStringLiteral("6"));
    QCOMPARE(shownTotals(desk), "Exkl. moms: 298.00 | Moms 6 %: 17.88 | Att betala: 315.88");
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestBoxesAndOrder::newOrderShowsTheOrder()
{
    // A lookup shows its customer in enterLooksUpTheCustomerAsTyped.
    OrderDesk desk(OrderDesk::Files { { "Registret/OrderNr.dbf", "1041\r\n" } });
    QVERIFY(showActive(desk.window));
    desk.show(storedOrder());

    QTest::keyClick(&desk.window, Qt::Key_F1);
    QCOMPARE(desk.order().text(Order::OrderNumber), QStringLiteral("1042"));
    verifyBoxesShow(desk, desk.order());
    QCOMPARE(desk.lines()->model()->rowCount(), 1);
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestBoxesAndOrder::enterLooksUpTheCustomerAsTyped()
{
    OrderDesk desk({ { "Customer/1.GetInfo.dbf", "1\r\nKontantkund\r\nDisken\r\n\r\n" },
                     { "Customer/1042.GetInfo.dbf", "1042\r\nA\r\n" },
                     { "Customer/ 1042.GetInfo.dbf", " 1042\r\nX\r\n" } });
    TextBox* number = desk.box("txt_KundField0");
    verifyCustomerLinesReadOnly(desk, false);

    // The number goes to the lookup as typed, its leading blank included, and
    // the customer's lines are then read-only.
    QTest::keyClicks(number, QStringLiteral(" 1042"));
    QTest::keyClick(number, Qt::Key_Return);
    QCOMPARE(shownCustomer(desk), (QStringList { " 1042", "X", "", "" }));
    QCOMPARE(orderedCustomer(desk), shownCustomer(desk));
    verifyCustomerLinesReadOnly(desk, true);

    // An unknown number brings the counter-sale customer, and the status line
    // says so until the next lookup.
    number->clear();
    QTest::keyClicks(number, QStringLiteral("9999"));
    QTest::keyClick(number, Qt::Key_Return);
    QCOMPARE(desk.window.statusBar()->currentMessage(),
             "Kundnr 9999 finns inte i kundregistret: kontantkunden 1 är hämtad i stället.");

    // Customer "1" takes the place of the one before, its lines editable.
    number->clear();
    QTest::keyClicks(number, QStringLiteral("1"));
    QTest::keyClick(number, Qt::Key_Return);
    QCOMPARE(shownCustomer(desk), (QStringList { "1", "Kontantkund", "Disken", "" }));
    QCOMPARE(orderedCustomer(desk), shownCustomer(desk));
    verifyCustomerLinesReadOnly(desk, false);
    QCOMPARE(desk.window.statusBar()->currentMessage(), QString());
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestBoxesAndOrder::enterElsewhereLooksNothingUp_data()
{
    QTest::addColumn<QString>("box");
    for (const char* name : { "txt_KundField1", "txt_KundField3", "txt_Info", "txt_Mkod", "txt_lpl" })
        QTest::newRow(name) << name;
}

void TestBoxesAndOrder::enterElsewhereLooksNothingUp()
{
    QFETCH(QString, box);
    OrderDesk desk(OrderDesk::Files { { "Customer/1042.GetInfo.dbf", "1042\r\nLind, Karin\r\n" } });
    QTest::keyClicks(desk.box("txt_KundField0"), QStringLiteral("1042"));
    QTest::keyClicks(desk.box("txt_KundField1"), QStringLiteral("Egen rad"));

    QTest::keyClick(desk.box(qPrintable(box)), Qt::Key_Return);

    QCOMPARE(shownCustomer(desk), (QStringList { "1042", "Egen rad", "", "" }));
    QCOMPARE(orderedCustomer(desk), shownCustomer(desk));
    verifyCustomerLinesReadOnly(desk, false);
}

void TestBoxesAndOrder::legendClickRecordsNumber()
{
    OrderDesk desk(OrderDesk::Files { { "Registret/OrderNr.dbf", "1041\r\n" } });
    QVERIFY(showActive(desk.window));
    QTest::keyClick(&desk.window, Qt::Key_F1);
    // The other legends do nothing when clicked.
    for (const char* name : { "Label23", "Label24", "Label25", "Label27" })
        QTest::mouseClick(desk.window.findChild<QLabel*>(QLatin1String(name)), Qt::LeftButton);
    QCOMPARE(desk.folder.read("Registret/OrderNr.dbf"), QByteArray("1041\r\n"));
    clickLegend(desk.window);
    QCOMPARE(desk.folder.read("Registret/OrderNr.dbf"), QByteArray("1042\r\n"));
    QVERIFY(desk.boxes.shown.isEmpty());

    // A number that cannot be recorded is reported.
    desk.folder.remove("Registret");
    clickLegend(desk.window);
    QCOMPARE(desk.boxes.shown.size(), 1);
    QCOMPARE(desk.boxes.shown.first().icon, MessageBox::Icon::Critical);
    QVERIFY(desk.boxes.shown.first().text.contains(QStringLiteral("spara ordernumret")));
}

void TestBoxesAndOrder::unusableNumberFileIsReported()
{
    OrderDesk desk;
    desk.box("txt_Betk")->setText(QStringLiteral("2"));
    desk.choose("mnuNy");

    // Nothing changed, and the operator is told why.
    QCOMPARE(desk.box("txt_OrderNr")->text(), QStringLiteral("1"));
    QCOMPARE(desk.box("txt_Betk")->text(), QStringLiteral("2"));
    QCOMPARE(desk.boxes.shown.size(), 1);
    const MessageBox::Shown& box = desk.boxes.shown.first();
    QCOMPARE(box.icon, MessageBox::Icon::Critical);
    QCOMPARE(box.title, QStringLiteral("Orderregistrering"));
    QVERIFY2(box.text.contains(QStringLiteral("läsa det senaste ordernumret")), qPrintable(box.text));
}

void TestBoxesAndOrder::failureShowsErrorBoxAndKeepsRemoval()
{
    OrderDesk desk;
    showLines(desk, QStringLiteral("1"), { 1, 2 });
    desk.folder.remove("Order");
    selectRows(desk.lines(), { 0 });

    desk.choose("mnuMinus");

    QCOMPARE(desk.boxes.shown.size(), 1);
    QCOMPARE(desk.boxes.shown.first().icon, MessageBox::Icon::Critical);
    QCOMPARE(desk.boxes.shown.first().title, QStringLiteral("Felmeddelande"));
    QCOMPARE(desk.boxes.shown.first().text,
             QStringLiteral("Det blev något fel\r\nError: 1033,87\r\n\r\nFil: %1\r\nOrsak: mappen %2 finns inte")
                 .arg(desk.folder.path("Order/1.basket.dbf"), desk.folder.path("Order")));
    verifyLines(desk, { 2 });
}

void TestBoxesAndOrder::deleteKeyRemovesOnlyFromTheList()
{
    OrderDesk desk;
    QVERIFY(showActive(desk.window));
    showLines(desk, QStringLiteral("1"), { 1, 2, 3, 4, 5 });
    TextBox* info = desk.box("txt_Info");
    info->setText(QStringLiteral("abc"));

    // In a text box Del deletes a character.
    selectRows(desk.lines(), { 0 });
    info->setFocus();
    info->setCursorPosition(0);
    QTest::keyClick(info, Qt::Key_Delete);
    QCOMPARE(info->text(), QStringLiteral("bc"));
    QCOMPARE(desk.lines()->model()->rowCount(), 5);
    QCOMPARE(desk.folder.read("Order/1.basket.dbf"), records({ 1, 2, 3, 4, 5 }));

    // Alt+T goes to the list, where Down chooses the first line wherever the
    // list stood, and Del removes the chosen lines and chooses the next.
    desk.lines()->selectionModel()->setCurrentIndex(desk.lines()->model()->index(3, 0), QItemSelectionModel::Clear);
    QTest::keyClick(info, Qt::Key_T, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), desk.lines());
    QTest::keyClick(desk.lines(), Qt::Key_Down);
    QTest::keyClick(desk.lines(), Qt::Key_Delete);
    QTest::keyClick(desk.lines(), Qt::Key_Delete);
    verifyLines(desk, { 3, 4, 5 });
    QCOMPARE(desk.folder.read("Order/1.basket.dbf"), records({ 3, 4, 5 }));

    // It asks before it removes more than one; the last ones gone, the line
    // before them is chosen.
    selectRows(desk.lines(), { 1, 2 });
    desk.boxes.answers = { false, true };
    QTest::keyClick(desk.lines(), Qt::Key_Delete);
    QTest::keyClick(desk.lines(), Qt::Key_Delete);
    QCOMPARE(desk.boxes.shown.first().text, QStringLiteral("Ta bort de 2 markerade orderraderna?"));
    verifyLines(desk, { 3 });
    QCOMPARE(desk.lines()->selectedRows(), QList<int> { 0 });
}

void TestBoxesAndOrder::contextMenuAddOpensProductPicker()
{
    OrderDesk desk(OrderDesk::Files { { "Registret/Produkter.dbf", "\"A-1\",\"Vara\",\"st\",\"1.00\"\r\n" } });
    auto* popup = desk.window.findChild<QMenu*>(QStringLiteral("mnuPop1"));
    QVERIFY(popup);
    auto* add = popup->findChild<QAction*>(QStringLiteral("mnuPlus"));
    QVERIFY(add);
    add->trigger();
    FrmAddProduct* picker = visibleWindow<FrmAddProduct>();
    QVERIFY(picker);
    QCOMPARE(picker->productList()->model()->rowCount(), 1);
}

QTEST_MAIN(TestBoxesAndOrder)
#include "tst_boxesandorder.moc"
