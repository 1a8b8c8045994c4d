// Order numbering: the next number from the order-number file, a new order's
// head, one started from a printed order, and recording the number.

#include "datafiles/desks.h"
#include "order/journal.h"
#include "order/numbering.h"
#include "order/order.h"
#include "order/registration.h"
#include "support/datafolder.h"

#include <QTest>

using core::Order;
using core::OrderLine;

class TestNumbering : public QObject
{
    Q_OBJECT

private slots:
    void nextNumberFollowsTheFile_data();
    void nextNumberFollowsTheFile();
    void nextNumberIsAboveEveryNumberInUse_data();
    void nextNumberIsAboveEveryNumberInUse();
    void aListPutInPlaceIsReadAgainWhole();
    void unusableNumberFileIsAFailure_data();
    void unusableNumberFileIsAFailure();
    void newOrderSetsNumberDatesAndCodes_data();
    void newOrderSetsNumberDatesAndCodes();
    void newOrderFromPrintedOne();
    void recordingWritesTheNumber();
    void recordingIntoAMissingFolderFails();
};

void TestNumbering::nextNumberFollowsTheFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("next");
    QTest::newRow("recorded by the program") << QByteArray("1041\r\n") << "1042";
    QTest::newRow("leading zeros") << QByteArray("000123") << "124";
    QTest::newRow("blanks and line ends around") << QByteArray(" \r\n 99 \r\n\r\n") << "100";
    QTest::newRow("zero") << QByteArray("0\r\n") << "1";
    QTest::newRow("past six digits") << QByteArray("999999\r\n") << "1000000";
}

void TestNumbering::nextNumberFollowsTheFile()
{
    QFETCH(QByteArray, file);
    TestDataFolder folder;
    folder.write("Registret/OrderNr.dbf", file);

    // Reading writes nothing: asked twice, the same number.
    for (int ask = 0; ask < 2; ++ask) {
        const core::NextNumber number = core::claimNextNumber(folder.data());
        QVERIFY(!number.failure);
        QTEST(number.number, "next");
        QCOMPARE(folder.read("Registret/OrderNr.dbf"), file);
    }
}

void TestNumbering::nextNumberIsAboveEveryNumberInUse_data()
{
    QTest::addColumn<QByteArray>("list");
    // Numbers in use by other desks: "<number> <desk>", the desk running in
    // this process, gone (this process's number, another start), away on
    // another machine and seen lately, or away and not seen for 91 s.
    QTest::addColumn<QStringList>("claims");
    QTest::addColumn<QString>("journalled"); // a running desk's registration under way
    QTest::addColumn<QString>("next");

    const QByteArray listed = "\"261201\",\"1050\",\"1001\",\"Berg\"\r\n\"261201\",\"00990\",\"1001\",\"Berg\"\r\n";
    QTest::newRow("the recorded number") << QByteArray() << QStringList() << QString() << "1042";
    QTest::newRow("a listed order above it") << listed << QStringList() << QString() << "1051";
    QTest::newRow("claims, a gap between them")
        << QByteArray() << QStringList { "1042 running", "1045 running" } << QString() << "1046";
    QTest::newRow("the claim of a desk that is gone")
        << QByteArray() << QStringList { "1042 gone" } << QString() << "1042";
    QTest::newRow("a claim from another machine") << QByteArray() << QStringList { "1042 away" } << QString() << "1043";
    QTest::newRow("one from a machine not seen for 90 s")
        << QByteArray() << QStringList { "1042 lost" } << QString() << "1042";
    QTest::newRow("a registration under way") << QByteArray() << QStringList() << "1044"
                                              << "1045";
}

void TestNumbering::nextNumberIsAboveEveryNumberInUse()
{
    QFETCH(QByteArray, list);
    QFETCH(QStringList, claims);
    QFETCH(QString, journalled);
    TestDataFolder folder;
    folder.write("Registret/OrderNr.dbf", "1041\r\n");
    if (!list.isEmpty())
        folder.write("Order/lista.dbf", list);
    const datafiles::DeskName& here = datafiles::Desk::ofProcess()->name();
    const std::shared_ptr<datafiles::Desk> running = datafiles::Desk::another();
    for (const QString& claim : claims) {
        const QString desk = claim.section(u' ', 1);
        datafiles::DeskRecord record = running->record();
        if (desk == u"gone")
            record.id = QStringLiteral("%1-%2-%3-0").arg(here.host).arg(here.process).arg(here.processStart + 1);
        else if (desk != u"running")
            record.id = QStringLiteral("kassa2-4711-99-0");
        folder.write("Skrivbord/" + claim.section(u' ', 0, 0) + ".claim", record.bytes());
        if (desk == u"away" || desk == u"lost") {
            folder.write("Skrivbord/kassa2-4711-99-0.skrivbord", record.bytes());
            datafiles::touchFile(folder.path("Skrivbord/kassa2-4711-99-0.skrivbord"),
                                 QDateTime::currentDateTimeUtc().addSecs(desk == u"lost" ? -91 : -60));
        }
    }
    if (!journalled.isEmpty()) {
        core::RegistrationPlan plan;
        plan.orderNumber = journalled;
        plan.orderNumberFile = journalled.toLatin1() + "\r\n";
        folder.write("Skrivbord/" + running->id() + ".journal", core::encodeJournal(plan));
    }

    const core::NextNumber next = core::claimNextNumber(folder.data());
    QVERIFY(!next.failure);
    QTEST(next.number, "next");
    QVERIFY(core::holdsClaim(folder.data(), next.number));
    // Claiming records nothing, and leaves a running desk's journal to it.
    QCOMPARE(folder.read("Registret/OrderNr.dbf"), QByteArray("1041\r\n"));
    QCOMPARE(folder.exists("Skrivbord/" + running->id() + ".journal"), !journalled.isEmpty());
    // The number is this desk's: another desk asking now gets the next one.
    const datafiles::DataDirectory other(folder.programFolder(), running);
    QCOMPARE(core::claimNextNumber(other).number, QString::number(next.number.toInt() + 1));
}

void TestNumbering::aListPutInPlaceIsReadAgainWhole()
{
    TestDataFolder folder;
    folder.write("Registret/OrderNr.dbf", "1041\r\n");
    const QByteArray line = "\"261201\",\"1050\",\"1001\",\"Berg\"\r\n";
    folder.write("Order/lista.dbf", line);
    QCOMPARE(core::claimNextNumber(folder.data()).number, QStringLiteral("1051"));
    // Only what was added since is read for the next number...
    folder.write("Order/lista.dbf", line + QByteArray(line).replace("1050", "1060"));
    QCOMPARE(core::claimNextNumber(folder.data()).number, QStringLiteral("1061"));
    // ...unless the list is another (a restore put it in place): its lines
    // before that place are not the ones read.
    folder.write("Order/lista.dbf", QByteArray(line + line + line).replace("1050", "1044"));
    QCOMPARE(core::claimNextNumber(folder.data()).number, QStringLiteral("1045"));
}

void TestNumbering::unusableNumberFileIsAFailure_data()
{
    QTest::addColumn<QByteArray>("file"); // a null array: no file at all
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << QByteArray() << "finns inte";
    QTest::newRow("empty") << QByteArray("") << "inget ordernummer";
    QTest::newRow("only a line end") << QByteArray("\r\n") << "inget ordernummer";
    QTest::newRow("not a number") << QByteArray("tolv\r\n") << "inget ordernummer";
    QTest::newRow("digits and letters") << QByteArray("12a\r\n") << "inget ordernummer";
    QTest::newRow("negative") << QByteArray("-4\r\n") << "inget ordernummer";
}

void TestNumbering::unusableNumberFileIsAFailure()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    TestDataFolder folder;
    if (!file.isNull())
        folder.write("Registret/OrderNr.dbf", file);

    const core::NextNumber number = core::claimNextNumber(folder.data());
    QCOMPARE(number.number, QString());
    QVERIFY(number.failure);
    QCOMPARE(number.failure->operation, QStringLiteral("läsa det senaste ordernumret"));
    QCOMPARE(number.failure->file, folder.path("Registret/OrderNr.dbf"));
    QVERIFY2(number.failure->reason.contains(reason), qPrintable(number.failure->reason));
    // Nothing changed on disk.
    QCOMPARE(folder.exists("Registret/OrderNr.dbf"), !file.isNull());
    QCOMPARE(folder.read("Registret/OrderNr.dbf"), file);
}

void TestNumbering::newOrderSetsNumberDatesAndCodes_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("date");
    QTest::newRow("6 December 2026") << QDate(2026, 12, 6) << "261206";
    QTest::newRow("1 January 2027") << QDate(2027, 1, 1) << "270101";
    QTest::newRow("leap day 2000") << QDate(2000, 2, 29) << "000229";
}

void TestNumbering::newOrderSetsNumberDatesAndCodes()
{
    QFETCH(QDate, today);
    QFETCH(QString, date);

    Order order = sampleOrder(1);
    order.setText(Order::VatCode, QStringLiteral("9"));
    order.setText(Order::PaymentTerms, QStringLiteral("4"));
    order.setText(Order::Lpl, QStringLiteral("12"));
    Order expected = order;

    core::startNewOrder(order, QStringLiteral("1042"), today);

    expected.setText(Order::OrderNumber, QStringLiteral("1042"));
    expected.setText(Order::DeliveryDate, date);
    expected.setText(Order::OrderDate, date);
    for (Order::Field code : { Order::PaymentTerms, Order::DeliveryMethod, Order::FreightMethod, Order::VatCode })
        expected.setText(code, QStringLiteral("0"));
    expected.setText(Order::RegistrationNumber, QString());
    expected.setText(Order::Lpl, QStringLiteral("411"));
    // The customer, the info and the lines stay as they were.
    QCOMPARE(order, expected);
    QCOMPARE(order.vatRate(), QStringLiteral("25"));
}

void TestNumbering::newOrderFromPrintedOne()
{
    Order old = sampleOrder(1);
    old.setText(Order::OrderNumber, QStringLiteral("1010"));
    old.setText(Order::DeliveryDate, QStringLiteral("260420"));
    old.setText(Order::OrderDate, QStringLiteral("260415"));
    old.setText(Order::DeliveryMethod, QStringLiteral("2"));
    old.setText(Order::FreightMethod, QStringLiteral("3"));
    old.setText(Order::VatCode, QStringLiteral("1"));

    Order onScreen;
    onScreen.setText(Order::CustomerNumber, QStringLiteral("77"));
    onScreen.setText(Order::Lpl, QStringLiteral("12"));
    onScreen.appendLine(OrderLine::fromList({ "X", "Annat", "st", "1.00", "1", "", "1.00" }));

    const Order fresh = core::newOrderFrom(old, onScreen, QStringLiteral("1013"), QDate(2026, 12, 6));

    Order expected = old;
    expected.setText(Order::OrderNumber, QStringLiteral("1013"));
    expected.setText(Order::OrderDate, QStringLiteral("261206"));
    expected.setText(Order::DeliveryDate, QStringLiteral("261206"));
    expected.setText(Order::Lpl, QStringLiteral("411")); // as "Ny" sets it
    QCOMPARE(fresh, expected);
    QCOMPARE(fresh.vatRate(), QStringLiteral("12"));
}

void TestNumbering::recordingWritesTheNumber()
{
    TestDataFolder folder;
    folder.write("Registret/OrderNr.dbf", "000123\r\nrest of an old file\r\n");

    QVERIFY(!core::recordOrderNumber(folder.data(), QStringLiteral("1042")));
    QCOMPARE(folder.read("Registret/OrderNr.dbf"), QByteArray("1042\r\n"));
    // The next new order takes the recorded number plus one.
    QCOMPARE(core::claimNextNumber(folder.data()).number, QStringLiteral("1043"));

    // A missing file is created.
    folder.remove("Registret/OrderNr.dbf");
    QVERIFY(!core::recordOrderNumber(folder.data(), QStringLiteral("7")));
    QCOMPARE(folder.read("Registret/OrderNr.dbf"), QByteArray("7\r\n"));
}

void TestNumbering::recordingIntoAMissingFolderFails()
{
    TestDataFolder folder;
    folder.remove("Registret");
    const std::optional<datafiles::Failure> failure = core::recordOrderNumber(folder.data(), QStringLiteral("1042"));
    QVERIFY(failure);
    QCOMPARE(failure->operation, QStringLiteral("spara ordernumret"));
    QCOMPARE(failure->file, folder.path("Registret/OrderNr.dbf"));
    QVERIFY2(failure->reason.contains(QStringLiteral("finns inte")), qPrintable(failure->reason));
    QVERIFY(!folder.exists("Registret"));
}

QTEST_GUILESS_MAIN(TestNumbering)
#include "tst_numbering.moc"
