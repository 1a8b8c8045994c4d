// "Ny" and the F9 legend: the order number, the dates and the default codes.

#include "orderwindow/frmmain.h"
#include "orderwindow/reportlistview.h"
#include "orderwindow/textbox.h"
#include "retrieval/messagebox.h"
#include "support/testsupport.h"

#include <QLabel>
#include <QTest>

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

namespace {

void clickLegend(FrmMain& window)
{
    auto* legend = window.findChild<QLabel*>(QStringLiteral("Label26"));
    QVERIFY(legend);
    QCOMPARE(legend->text(), QStringLiteral(" F9 - Skriv ut underlag"));
    QTest::mouseClick(legend, Qt::LeftButton);
}

} // namespace

void TestOrderNumbering::newOrderTakesNextNumber_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("shown");
    QTest::newRow("recorded by the program") << QByteArray("1041\r\n") << "1042";
    QTest::newRow("leading zeros") << QByteArray("000123") << "124";
    QTest::newRow("blanks and line ends around") << QByteArray(" \r\n 99 \r\n\r\n") << "100";
}

void TestOrderNumbering::newOrderTakesNextNumber()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, shown);
    TestDataFolder folder;
    folder.write("Registret/OrderNr.dbf", file);
    FrmMain window(folder.data());
    QVERIFY(showActive(window));
    // "Ny" writes nothing: a second "Ny" shows the same number again.
    for (int press = 0; press < 2; ++press) {
        QTest::keyClick(&window, Qt::Key_F1);
        QCOMPARE(window.txt_OrderNr()->text(), shown);
        QCOMPARE(folder.read("Registret/OrderNr.dbf"), file);
    }
}

void TestOrderNumbering::newOrderSetsDatesAndCodes()
{
    TestDataFolder folder;
    folder.write("Registret/OrderNr.dbf", "1041\r\n");
    FrmMain window(folder.data());
    window.setClock([] { return QDate(2027, 1, 1); });
    QVERIFY(showActive(window));
    window.txt_RegNr()->setText(QStringLiteral("ABC123"));
    window.txt_Mkod()->setText(QStringLiteral("9"));
    // F1 works wherever the focus is.
    window.txt_Info()->setFocus();
    QTest::keyClick(window.txt_Info(), Qt::Key_F1);

    QCOMPARE(window.txt_OrderNr()->text(), QStringLiteral("1042"));
    QCOMPARE(window.txt_LevDat()->text(), QStringLiteral("270101"));
    QCOMPARE(window.txt_OrdDat()->text(), QStringLiteral("270101"));
    QCOMPARE(window.txt_Betk()->text(), QStringLiteral("0"));
    QCOMPARE(window.txt_LevS()->text(), QStringLiteral("0"));
    QCOMPARE(window.txt_Frkts()->text(), QStringLiteral("0"));
    QCOMPARE(window.txt_Mkod()->text(), QStringLiteral("0"));
    QCOMPARE(window.txt_RegNr()->text(), QString());
    QCOMPARE(window.txt_lpl()->text(), QStringLiteral("411"));
}

void TestOrderNumbering::newOrderKeepsEverythingElse()
{
    TestDataFolder folder;
    folder.write("Registret/OrderNr.dbf", "5\r\n");
    FrmMain window(folder.data());
    window.txt_KundField0()->setText(QStringLiteral("1042"));
    window.txt_KundField1()->setText(QStringLiteral("Bergström Bygg AB"));
    window.txt_Info()->setText(QStringLiteral("Ring före leverans"));
    window.ListView1()->reportModel()->appendRow({ "A1", "Spik", "st", "1.00", "1", "", "1.00" });
    window.mnuNy_Click();
    QCOMPARE(window.txt_KundField0()->text(), QStringLiteral("1042"));
    QCOMPARE(window.txt_KundField1()->text(), QStringLiteral("Bergström Bygg AB"));
    QCOMPARE(window.txt_Info()->text(), QStringLiteral("Ring före leverans"));
    QCOMPARE(window.ListView1()->reportModel()->rowCount(), 1);
    QVERIFY(!folder.exists("Order/6.basket.dbf"));
}

void TestOrderNumbering::legendClickRecordsNumber()
{
    TestDataFolder folder;
    folder.write("Registret/OrderNr.dbf", "1041\r\n");
    MessageBox::Recorder boxes;
    FrmMain window(folder.data());
    QVERIFY(showActive(window));
    QTest::keyClick(&window, Qt::Key_F1);
    clickLegend(window);
    QCOMPARE(folder.read("Registret/OrderNr.dbf"), QByteArray("1042\r\n"));
    QTest::keyClick(&window, Qt::Key_F1);
    QCOMPARE(window.txt_OrderNr()->text(), QStringLiteral("1043"));

    // The other legends do nothing when clicked.
    for (const char* name : { "Label23", "Label24", "Label25", "Label27" })
        QTest::mouseClick(window.findChild<QLabel*>(QLatin1String(name)), Qt::LeftButton);
    QCOMPARE(window.txt_OrderNr()->text(), QStringLiteral("1043"));
    QCOMPARE(folder.read("Registret/OrderNr.dbf"), QByteArray("1042\r\n"));
    QVERIFY(boxes.shown.isEmpty());
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
    TestDataFolder folder;
    if (!file.isEmpty())
        folder.write("Registret/OrderNr.dbf", file);
    MessageBox::Recorder boxes;
    FrmMain window(folder.data());
    window.txt_Betk()->setText(QStringLiteral("2"));
    window.mnuNy_Click();

    // Nothing changed, and the operator is told why.
    QCOMPARE(window.txt_OrderNr()->text(), QStringLiteral("1"));
    QCOMPARE(window.txt_Betk()->text(), QStringLiteral("2"));
    QCOMPARE(window.txt_OrdDat()->text(), QString());
    QCOMPARE(boxes.shown.size(), 1);
    const MessageBox::Shown& box = boxes.shown.first();
    QCOMPARE(box.icon, MessageBox::Icon::Critical);
    QCOMPARE(box.title, QStringLiteral("Orderregistrering"));
    QVERIFY2(box.text.contains(QStringLiteral("läsa det senaste ordernumret")), qPrintable(box.text));
    QVERIFY2(box.text.contains(QStringLiteral("OrderNr.dbf")), qPrintable(box.text));
    QVERIFY2(box.text.contains(reason), qPrintable(box.text));
}

void TestOrderNumbering::unwritableNumberFileIsReported()
{
    TestDataFolder folder;
    folder.remove("Registret");
    MessageBox::Recorder boxes;
    FrmMain window(folder.data());
    QVERIFY(showActive(window));
    clickLegend(window);
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY(boxes.shown.first().text.contains(QStringLiteral("spara ordernumret")));
    QVERIFY(boxes.shown.first().text.contains(QStringLiteral("finns inte")));
}

QTEST_MAIN(TestOrderNumbering)
#include "tst_ordernumbering.moc"
