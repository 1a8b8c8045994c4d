// The basket file: one quoted record per order line, written as lines are added
// and rewritten when lines are removed, and read back line for line.

#include "datafiles/records.h"
#include "order/archive.h"
#include "order/basket.h"
#include "order/registration.h"
#include "support/datafolder.h"

#include <QDir>
#include <QTest>

using core::OrderLine;

using Lines = QList<QStringList>;

class TestBasket : public QObject
{
    Q_OBJECT

private slots:
    void recordsOfTheLines_data();
    void recordsOfTheLines();
    void appendGoesAtTheEnd();
    void emptyNumberNamesTheFile();
    void numberThatNamesNoFile_data();
    void numberThatNamesNoFile();
    void rewriteIntoAMissingFolderFails();
    void textsTheRecordCannotHold();
    void readBack_data();
    void readBack();
    void appendAfterACutRecord_data();
    void appendAfterACutRecord();
};

void TestBasket::recordsOfTheLines_data()
{
    QTest::addColumn<Lines>("lines");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("Swedish letters") << Lines { { "A-1", "Hängränna vit", "st", "149.00", "2", "0", "298.00" },
                                                { "B-7", "Fästöra", "st", "4.90", "10", "5", "46.55" } }
                                     << QByteArray(
                                            "\"A-1\",\"H\xE4ngr\xE4nna vit\",\"st\",\"149.00\",\"2\",\"0\","
                                            "\"298.00\"\r\n"
                                            "\"B-7\",\"F\xE4st\xF6ra\",\"st\",\"4.90\",\"10\",\"5\",\"46.55\"\r\n");
    QTest::newRow("empty fourth text") << Lines { { "A-1", "Vara", "st", "", "1", "", "0.00" } }
                                       << QByteArray("\"A-1\",\"Vara\",\"st\",\"\",\"1\",\"\",\"0.00\"\r\n");
    QTest::newRow("comma inside a text") << Lines { { "A-2", "Skruv, 4 mm", "st", "0.50", "100", "", "50.00" } }
                                         << QByteArray(
                                                "\"A-2\",\"Skruv, 4 mm\",\"st\",\"0.50\",\"100\",\"\",\"50.00\"\r\n");
    QTest::newRow("same article twice") << Lines { { "A-1", "Vara", "st", "1.00", "1", "", "1.00" },
                                                   { "A-1", "Vara", "st", "1.00", "1", "", "1.00" } }
                                        << QByteArray("\"A-1\",\"Vara\",\"st\",\"1.00\",\"1\",\"\",\"1.00\"\r\n"
                                                      "\"A-1\",\"Vara\",\"st\",\"1.00\",\"1\",\"\",\"1.00\"\r\n");
    QTest::newRow("blanks kept") << Lines { { " A-3 ", "å", "", "", "", "", "" } }
                                 << QByteArray("\" A-3 \",\"\xE5\",\"\",\"\",\"\",\"\",\"\"\r\n");
}

void TestBasket::recordsOfTheLines()
{
    QFETCH(Lines, lines);
    QFETCH(QByteArray, bytes);
    const QList<OrderLine> orderLines = orderLinesOf(lines);
    TestDataFolder folder;

    // Added one at a time, as the product picker adds them.
    for (const OrderLine& line : orderLines)
        QVERIFY(!core::appendToBasket(folder.data(), QStringLiteral("1042"), { line }).failure);
    QCOMPARE(folder.read("Order/1042.basket.dbf"), bytes);

    // Rewritten whole, as removing lines does.
    QVERIFY(!core::rewriteBasket(folder.data(), QStringLiteral("1043"), orderLines));
    QCOMPARE(folder.read("Order/1043.basket.dbf"), bytes);

    // And read back as the same lines.
    const core::BasketRead read = core::readBasket(folder.data(), QStringLiteral("1042"));
    QCOMPARE(read.lines, orderLines);
    QVERIFY(!read.missing);
    QVERIFY(!read.cutShort);
    QVERIFY(!read.failure);
}

void TestBasket::appendGoesAtTheEnd()
{
    TestDataFolder folder;
    const OrderLine line = OrderLine::fromList({ "C", "Ny", "st", "1.00", "1", "", "1.00" });
    const QByteArray record("\"C\",\"Ny\",\"st\",\"1.00\",\"1\",\"\",\"1.00\"\r\n");

    folder.write("Order/5.basket.dbf", "\"A\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
    QVERIFY(!core::appendToBasket(folder.data(), QStringLiteral("5"), { line }).failure);
    QCOMPARE(folder.read("Order/5.basket.dbf"), "\"A\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n" + record);

    // A file whose last record has lost its line end gets one first.
    folder.write("Order/6.basket.dbf", "\"A\",\"\",\"\",\"\",\"\",\"\",\"\"");
    QVERIFY(!core::appendToBasket(folder.data(), QStringLiteral("6"), { line }).failure);
    QCOMPARE(folder.read("Order/6.basket.dbf"), "\"A\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n" + record);

    // Rewriting with no lines leaves an empty file, not none.
    QVERIFY(!core::rewriteBasket(folder.data(), QStringLiteral("6"), {}));
    QVERIFY(folder.exists("Order/6.basket.dbf"));
    QCOMPARE(folder.read("Order/6.basket.dbf"), QByteArray());
}

void TestBasket::emptyNumberNamesTheFile()
{
    TestDataFolder folder;
    const OrderLine line = OrderLine::fromList({ "A" });
    QVERIFY(!core::appendToBasket(folder.data(), QString(), { line }).failure);
    QCOMPARE(folder.read("Order/.basket.dbf"), QByteArray("\"A\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"));
    QCOMPARE(core::readBasket(folder.data(), QString()).lines, QList<OrderLine> { line });
}

void TestBasket::numberThatNamesNoFile_data()
{
    QTest::addColumn<QString>("number");
    QTest::newRow("slash") << "../1042";
    QTest::newRow("backslash") << "10\\42";
    QTest::newRow("dot dot") << "..";
}

void TestBasket::numberThatNamesNoFile()
{
    QFETCH(QString, number);
    TestDataFolder folder;
    const OrderLine line = OrderLine::fromList({ "A" });

    const std::optional<datafiles::Failure> appended = core::appendToBasket(folder.data(), number, { line }).failure;
    QVERIFY(appended);
    QCOMPARE(appended->operation, QStringLiteral("lägga till orderraden"));
    QCOMPARE(appended->file, QString());
    const QString reason = QStringLiteral("ordernumret \"%1\" kan inte vara en del av ett filnamn").arg(number);
    QCOMPARE(appended->reason, reason);

    const std::optional<datafiles::Failure> rewritten = core::rewriteBasket(folder.data(), number, { line });
    QVERIFY(rewritten);
    QCOMPARE(rewritten->operation, QStringLiteral("spara orderraderna"));
    QCOMPARE(rewritten->reason, reason);

    // Nothing was written anywhere in the data folder, nor beside it.
    QCOMPARE(QDir(folder.path("Order")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    QCOMPARE(QDir(folder.programFolder()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList { "System" });
    QVERIFY(core::readBasket(folder.data(), number).missing);
}

void TestBasket::rewriteIntoAMissingFolderFails()
{
    TestDataFolder folder;
    folder.remove("Order");
    const std::optional<datafiles::Failure> failure
        = core::rewriteBasket(folder.data(), QStringLiteral("42"), { OrderLine::fromList({ "A" }) });
    QVERIFY(failure);
    QCOMPARE(failure->operation, QStringLiteral("spara orderraderna"));
    QCOMPARE(failure->file, folder.path("Order/42.basket.dbf"));
    QVERIFY(!failure->reason.isEmpty());
}

void TestBasket::textsTheRecordCannotHold()
{
    // A double quote would end its field and a line break its record.
    const OrderLine line = OrderLine::fromList({ "A\"1", "12\" rör", "st\r\n", "1\n00", "", "", "\r" });
    QCOMPARE(core::lineForBasket(line).toList(), (QStringList { "A”1", "12” rör", "st  ", "1 00", "", "", " " }));

    TestDataFolder folder;
    QVERIFY(!core::appendToBasket(folder.data(), QStringLiteral("9"), { core::lineForBasket(line) }).failure);
    QCOMPARE(core::readBasket(folder.data(), QStringLiteral("9")).lines,
             QList<OrderLine> { core::lineForBasket(line) });
}

void TestBasket::readBack_data()
{
    QTest::addColumn<QByteArray>("file"); // a null array: no file
    QTest::addColumn<Lines>("lines");
    QTest::addColumn<bool>("missing");
    QTest::addColumn<bool>("endsInsideRecord");

    const QByteArray first("\"A-1\",\"Vara, bl\xE5\",\"st\",\"1.00\",\"2\",\"\",\"2.00\"\r\n");
    const QByteArray second("\"A-2\",\"Annan\",\"m\",\"3.00\",\"1\",\"10\",\"2.70\"\r\n");
    const Lines lines { { "A-1", "Vara, blå", "st", "1.00", "2", "", "2.00" },
                        { "A-2", "Annan", "m", "3.00", "1", "10", "2.70" } };

    QTest::newRow("missing") << QByteArray() << Lines {} << true << false;
    QTest::newRow("empty") << QByteArray("") << Lines {} << false << false;
    QTest::newRow("complete") << first + second << lines << false << false;
    QTest::newRow("last line end lost") << first + second.chopped(2) << lines << false << false;
    QTest::newRow("cut inside the last record") << first + second.left(20) << Lines { lines.first() } << false << true;
}

void TestBasket::readBack()
{
    QFETCH(QByteArray, file);
    QFETCH(Lines, lines);
    QFETCH(bool, missing);
    QFETCH(bool, endsInsideRecord);
    TestDataFolder folder;
    if (!file.isNull())
        folder.write("Order/77.basket.dbf", file);

    const core::BasketRead read = core::readBasket(folder.data(), QStringLiteral("77"));
    QCOMPARE(read.lines, orderLinesOf(lines));
    QCOMPARE(read.missing, missing);
    QCOMPARE(read.cutShort.has_value(), endsInsideRecord);
    QCOMPARE(read.file, folder.path("Order/77.basket.dbf"));
    QVERIFY(!read.failure);
}

void TestBasket::appendAfterACutRecord_data()
{
    // A record file cut short by a power cut during an append, a copy cut short
    // or a hand edit, then added to: by the product picker (the basket) and by
    // printing (the order list).
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("whole");
    QTest::addColumn<QByteArray>("cut");

    const QByteArray basketLine = "\"A-1\",\"H\xE4ngr\xE4nna\",\"st\",\"149.00\",\"2\",\"0\",\"298.00\"\r\n";
    const QByteArray listLine = "\"261206\",\"1042\",\"1001\",\"Bergstr\xF6m Bygg AB\"\r\n";
    QTest::newRow("basket, inside a quoted field") << "basket" << basketLine << QByteArray("\"A-1\",\"H\xE4ngr\xE4nn");
    QTest::newRow("basket, after a comma") << "basket" << basketLine << QByteArray("\"A-1\",");
    QTest::newRow("basket, after a closing quote")
        << "basket" << basketLine << QByteArray("\"A-1\",\"H\xE4ngr\xE4nna\"");
    QTest::newRow("list, inside a quoted field") << "list" << listLine << QByteArray("\"261207\",\"1043\",\"");
    QTest::newRow("list, after a comma") << "list" << listLine << QByteArray("\"261207\",\"1043\",");
    QTest::newRow("list, after a closing quote") << "list" << listLine << QByteArray("\"261207\"");
    QTest::newRow("list, a comma after a whole record") << "list" << listLine.chopped(2) << QByteArray(",");
}

void TestBasket::appendAfterACutRecord()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, whole);
    QFETCH(QByteArray, cut);
    TestDataFolder folder;
    const QString name = file == "basket" ? QStringLiteral("Order/1043.basket.dbf") : QStringLiteral("Order/lista.dbf");
    folder.write(name, whole + cut);
    folder.write("Registret/OrderNr.dbf", "1042\r\n");

    core::Order order = sampleOrder();
    order.setText(core::Order::OrderNumber, QStringLiteral("1043"));
    const OrderLine line = OrderLine::fromList(orderLine(1));
    QByteArray added;
    std::optional<datafiles::Failure> setAside;
    if (file == "basket") {
        const core::BasketAppend appended = core::appendToBasket(folder.data(), QStringLiteral("1043"), { line });
        QVERIFY(!appended.failure);
        setAside = appended.setAside;
        added = datafiles::quotedRecord(line.toList());
    } else {
        const core::BegunRegistration begun = core::beginRegistration(folder.data(), order);
        QVERIFY(!begun.failure);
        QVERIFY(!core::completeRegistration(folder.data(), begun.plan));
        setAside = begun.setAside;
        added = core::orderListLine(order);
    }

    // The whole records keep their bytes, the new one follows them on a line
    // of its own, and the cut bytes are kept beside the file and named.
    const QByteArray kept = whole.endsWith("\r\n") ? whole : whole + "\r\n";
    QCOMPARE(folder.read(name), kept + added);
    QCOMPARE(folder.read(name + ".avkortat"), cut + "\r\n");
    QVERIFY(setAside);
    QCOMPARE(setAside->file, folder.path(name));
    QVERIFY(setAside->reason.contains(QDir::toNativeSeparators(folder.path(name + ".avkortat"))));
    if (file == "basket") {
        const core::BasketRead read = core::readBasket(folder.data(), QStringLiteral("1043"));
        QCOMPARE(read.lines.size(), 2);
        QCOMPARE(read.lines.last(), line);
        QVERIFY(!read.cutShort);
    } else {
        const core::OrderListRead read = core::readOrderList(folder.data());
        QCOMPARE(read.list.size(), 2);
        QCOMPARE(read.list.entries().last().orderNumber, QStringLiteral("1043"));
        QVERIFY(!read.cutShort);
    }
}

QTEST_GUILESS_MAIN(TestBasket)
#include "tst_basket.moc"
