// "Ny" and the F9 legend in the order window: the number, the dates and the
// standing codes in the boxes, and the boxes that tell what went wrong.

#include "order/order.h"
#include "support/testsupport.h"
#include "widgets/reportlistview.h"
#include "widgets/textbox.h"

#include <QLabel>
#include <QTest>

using core::Order;

namespace {

void clickLegend(OrderWindow& window)
{
    auto* legend = window.findChild<QLabel*>(QStringLiteral("Label26"));
    QVERIFY(legend);
    QCOMPARE(legend->text(), QStringLiteral(" F9 - Skriv ut underlag"));
    QTest::mouseClick(legend, Qt::LeftButton);
}

} // namespace

class TestOrderNumbering : public QObject
{
    Q_OBJECT

private slots:
    void newOrderTakesNextNumber_data();
    void newOrderTakesNextNumber();
    void newOrderSetsDatesAndCodes();
    void newOrderKeepsEverythingElse();
    void legendClickRecordsNumber();
    void unusableNumberFileIsReported_data();
    void unusableNumberFileIsReported();
    void unwritableNumberFileIsReported();
};

void TestOrderNumbering::newOrderTakesNextNumber_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("shown");
    QTest::newRow("recorded by the program") << QByteArray("1041\r\n") << "1042";
    QTest::newRow("leading zeros") << QByteArray("000123") << "124";
}

void TestOrderNumbering::newOrderTakesNextNumber()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, shown);
    OrderDesk desk(OrderDesk::Files { { "Registret/OrderNr.dbf", file } });
    QVERIFY(showActive(desk.window));
    // "Ny" writes nothing: a second "Ny" shows the same number again.
    for (int press = 0; press < 2; ++press) {
        QTest::keyClick(&desk.window, Qt::Key_F1);
        QCOMPARE(desk.box("txt_OrderNr")->text(), shown);
        QCOMPARE(desk.order().text(Order::OrderNumber), shown);
        QCOMPARE(desk.folder.read("Registret/OrderNr.dbf"), file);
    }
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestOrderNumbering::newOrderSetsDatesAndCodes()
{
    OrderDesk desk(OrderDesk::Files { { "Registret/OrderNr.dbf", "1041\r\n" } }, QDate(2027, 1, 1));
    QVERIFY(showActive(desk.window));
    desk.box("txt_RegNr")->setText(QStringLiteral("ABC123"));
    desk.box("txt_Mkod")->setText(QStringLiteral("9"));
    desk.box("txt_lpl")->setText(QStringLiteral("12"));
    // F1 works wherever the focus is.
    desk.box("txt_Info")->setFocus();
    QTest::keyClick(desk.box("txt_Info"), Qt::Key_F1);

    const struct
    {
        const char* box;
        Order::Field field;
        const char* text;
    } expected[] = {
        { "txt_OrderNr", Order::OrderNumber, "1042" },
        { "txt_LevDat", Order::DeliveryDate, "270101" },
        { "txt_OrdDat", Order::OrderDate, "270101" },
        { "txt_Betk", Order::PaymentTerms, "0" },
        { "txt_LevS", Order::DeliveryMethod, "0" },
        { "txt_Frkts", Order::FreightMethod, "0" },
        { "txt_Mkod", Order::VatCode, "0" },
        { "txt_RegNr", Order::RegistrationNumber, "" },
        { "txt_lpl", Order::Lpl, "411" },
    };
    for (const auto& e : expected) {
        QCOMPARE(desk.box(e.box)->text(), QString::fromUtf8(e.text));
        QCOMPARE(desk.order().text(e.field), QString::fromUtf8(e.text));
    }
    QCOMPARE(desk.order().vatRate(), QStringLiteral("25"));
}

void TestOrderNumbering::newOrderKeepsEverythingElse()
{
    OrderDesk desk(OrderDesk::Files { { "Registret/OrderNr.dbf", "5\r\n" } });
    Order before;
    before.setText(Order::CustomerNumber, QStringLiteral("1042"));
    before.setText(Order::CustomerLine1, QStringLiteral("Bergström Bygg AB"));
    before.setText(Order::Info, QStringLiteral("Ring före leverans"));
    before.appendLine(core::OrderLine::fromList({ "A1", "Spik", "st", "1.00", "1", "", "1.00" }));
    desk.window.showOrder(before);

    desk.choose("mnuNy");

    QCOMPARE(desk.box("txt_OrderNr")->text(), QStringLiteral("6"));
    QCOMPARE(desk.box("txt_KundField0")->text(), QStringLiteral("1042"));
    QCOMPARE(desk.box("txt_KundField1")->text(), QStringLiteral("Bergström Bygg AB"));
    QCOMPARE(desk.box("txt_Info")->text(), QStringLiteral("Ring före leverans"));
    QCOMPARE(desk.lines()->model()->rowCount(), 1);
    QCOMPARE(desk.order().lines(), before.lines());
    QVERIFY(!desk.folder.exists("Order/6.basket.dbf"));
}

void TestOrderNumbering::legendClickRecordsNumber()
{
    OrderDesk desk(OrderDesk::Files { { "Registret/OrderNr.dbf", "1041\r\n" } });
    QVERIFY(showActive(desk.window));
    QTest::keyClick(&desk.window, Qt::Key_F1);
    clickLegend(desk.window);
    QCOMPARE(desk.folder.read("Registret/OrderNr.dbf"), QByteArray("1042\r\n"));
    QTest::keyClick(&desk.window, Qt::Key_F1);
    QCOMPARE(desk.box("txt_OrderNr")->text(), QStringLiteral("1043"));

    // The other legends do nothing when clicked.
    for (const char* name : { "Label23", "Label24", "Label25", "Label27" })
        QTest::mouseClick(desk.window.findChild<QLabel*>(QLatin1String(name)), Qt::LeftButton);
    QCOMPARE(desk.box("txt_OrderNr")->text(), QStringLiteral("1043"));
    QCOMPARE(desk.folder.read("Registret/OrderNr.dbf"), QByteArray("1042\r\n"));
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestOrderNumbering::unusableNumberFileIsReported_data()
{
    QTest::addColumn<QByteArray>("file"); // an empty array: no file at all
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << QByteArray() << "finns inte";
    QTest::newRow("empty") << QByteArray("\r\n") << "inget ordernummer";
    QTest::newRow("not a number") << QByteArray("tolv\r\n") << "inget ordernummer";
    QTest::newRow("negative") << QByteArray("-4\r\n") << "inget ordernummer";
}

void TestOrderNumbering::unusableNumberFileIsReported()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    OrderDesk desk(file.isEmpty() ? OrderDesk::Files {} : OrderDesk::Files { { "Registret/OrderNr.dbf", file } });
    desk.box("txt_Betk")->setText(QStringLiteral("2"));
    const Order before = desk.order();
    desk.choose("mnuNy");

    // Nothing changed, and the operator is told why.
    QCOMPARE(desk.box("txt_OrderNr")->text(), QStringLiteral("1"));
    QCOMPARE(desk.box("txt_Betk")->text(), QStringLiteral("2"));
    QCOMPARE(desk.box("txt_OrdDat")->text(), QString());
    QCOMPARE(desk.order(), before);
    QCOMPARE(desk.boxes.shown.size(), 1);
    const MessageBox::Shown& box = desk.boxes.shown.first();
    QCOMPARE(box.icon, MessageBox::Icon::Critical);
    QCOMPARE(box.title, QStringLiteral("Orderregistrering"));
    QVERIFY2(box.text.contains(QStringLiteral("läsa det senaste ordernumret")), qPrintable(box.text));
    QVERIFY2(box.text.contains(QStringLiteral("OrderNr.dbf")), qPrintable(box.text));
    QVERIFY2(box.text.contains(reason), qPrintable(box.text));
}

void TestOrderNumbering::unwritableNumberFileIsReported()
{
    OrderDesk desk;
    desk.folder.remove("Registret");
    QVERIFY(showActive(desk.window));
    clickLegend(desk.window);
    QCOMPARE(desk.boxes.shown.size(), 1);
    QCOMPARE(desk.boxes.shown.first().icon, MessageBox::Icon::Critical);
    QVERIFY(desk.boxes.shown.first().text.contains(QStringLiteral("spara ordernumret")));
    QVERIFY(desk.boxes.shown.first().text.contains(QStringLiteral("finns inte")));
    QCOMPARE(desk.box("txt_OrderNr")->text(), QStringLiteral("1"));
}

QTEST_MAIN(TestOrderNumbering)
#include "tst_ordernumbering.moc"
