// Reading printed orders back: the order list, and an order from its archive
// files and its basket file, as far as they go.

#include "order/archive.h"
#include "order/basket.h"
#include "order/registers.h"
#include "order/registration.h"
#include "support/datafolder.h"

#include <QDir>
#include <QTest>

#include <functional>

using core::Order;
using core::OrderLine;
using core::OrderListEntry;

// What a reader of a record file gives the window that lists it.
struct Read
{
    qsizetype rows = 0;
    std::optional<datafiles::Failure> failure;
    std::optional<datafiles::Failure> cutShort;
};
using Reader = std::function<Read(const datafiles::DataDirectory&)>;
Q_DECLARE_METATYPE(Reader)

using Entries = QList<OrderListEntry>;
using Fields = QList<int>;
Q_DECLARE_METATYPE(OrderListEntry)

namespace core {
// How a failed comparison shows a line of the order list.
char* toString(const OrderListEntry& e)
{
    return QTest::toString(QStringList { e.orderDate, e.orderNumber, e.customerNumber, e.customerName }.join(" | "));
}
} // namespace core

namespace {

// A printed order with a bit of everything a file must carry unchanged.
Order printedOrder()
{
    Order order = sampleOrder();
    order.setText(Order::CustomerNumber, QStringLiteral("1042"));
    order.setText(Order::CustomerLine1, QStringLiteral("Bergström Bygg AB, \"Huset\""));
    order.setText(Order::OrderNumber, QStringLiteral("1042"));
    order.setText(Order::DeliveryDate, QStringLiteral("261207"));
    order.setText(Order::OrderDate, QStringLiteral("261206"));
    order.setText(Order::FreightMethod, QStringLiteral("3"));
    order.setText(Order::DeliveryMethod, QStringLiteral("2"));
    order.setText(Order::VatCode, QStringLiteral("1"));
    order.appendLine(OrderLine::fromList({ "A-1", "Hängränna, vit", "st", "149.00", "2", "", "298.00" }));
    order.appendLine(OrderLine::fromList({ "B-7", "Fästöra", "st", "4.90", "10", "5", "46.55" }));
    return order;
}

// Prints the order as far as its files go: the basket as the lines were
// added, then the registration.
void fileOrder(const TestDataFolder& folder, const Order& order)
{
    QVERIFY(!core::rewriteBasket(folder.data(), order.text(Order::OrderNumber), order.lines()));
    QVERIFY(!core::registerOrder(folder.data(), order));
}

} // namespace

class TestArchiveReading : public QObject
{
    Q_OBJECT

private slots:
    void readersNameACutOrMissingFile_data();
    void readersNameACutOrMissingFile();
    void orderList_data();
    void orderList();
    void printedOrderReadsBackEqual();
    void whatIsKnownIsKept_data();
    void whatIsKnownIsKept();
    void numberThatNamesNoFile();
};

void TestArchiveReading::orderList_data()
{
    QTest::addColumn<QByteArray>("file"); // a null array: no list yet
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<bool>("missing");
    QTest::addColumn<bool>("endsInsideRecord");

    const QByteArray first("\"261206\",\"1042\",\"1042\",\"Bergstr\xF6m Bygg AB\"\r\n");
    const QByteArray second("\"261207\",\"1043\",\"1\",\"Kontantkund\"\r\n");
    const QByteArray third("\"261207\",\"1044\",\"77\",\"Lind, Karin\"\r\n");
    const OrderListEntry one { "261206", "1042", "1042", "Bergström Bygg AB" };
    const OrderListEntry two { "261207", "1043", "1", "Kontantkund" };
    const OrderListEntry three { "261207", "1044", "77", "Lind, Karin" };

    QTest::newRow("missing") << QByteArray() << Entries {} << true << false;
    QTest::newRow("empty") << QByteArray("") << Entries {} << false << false;
    QTest::newRow("in file order") << second + first + third << Entries { two, one, three } << false << false;
    QTest::newRow("name with a comma") << third << Entries { three } << false << false;
    // By hand: a comma after a record begins the next, with an empty field.
    QTest::newRow("typed by hand") << first.chopped(2) + ",\r\n1043, 1,Kontantkund\r\n"
                                   << Entries { one, { "", "1043", "1", "Kontantkund" } } << false << false;
    QTest::newRow("cut inside a record") << first + second + third.left(17) << Entries { one, two } << false << true;
}

void TestArchiveReading::orderList()
{
    QFETCH(QByteArray, file);
    QFETCH(Entries, entries);
    QFETCH(bool, missing);
    QFETCH(bool, endsInsideRecord);
    TestDataFolder folder;
    if (!file.isNull())
        folder.write("Order/lista.dbf", file);

    const core::OrderListRead read = core::readOrderList(folder.data());
    QCOMPARE(read.list.entries(), entries);
    QCOMPARE(read.missing, missing);
    QCOMPARE(read.cutShort.has_value(), endsInsideRecord);
    QCOMPARE(read.file, folder.path("Order/lista.dbf"));
    QVERIFY(!read.failure);
}

void TestArchiveReading::printedOrderReadsBackEqual()
{
    TestDataFolder folder;
    Order order = printedOrder();
    order.setText(Order::Lpl, QStringLiteral("411"));
    fileOrder(folder, order);

    const core::ArchivedOrder archived = core::readArchivedOrder(folder.data(), QStringLiteral("1042"));
    QCOMPARE(archived.problems, QStringList());
    // Everything but the stock place, which the archive does not keep.
    Order expected = order;
    expected.setText(Order::Lpl, QString());
    QCOMPARE(archived.order, expected);
}

void TestArchiveReading::whatIsKnownIsKept_data()
{
    QTest::addColumn<QStringList>("removed"); // files under Order
    QTest::addColumn<QString>("cut"); // a file under Order cut to `kept` bytes
    QTest::addColumn<int>("kept");
    QTest::addColumn<Fields>("lost"); // fields that read back empty
    QTest::addColumn<int>("linesKept");
    QTest::addColumn<QStringList>("problems"); // %1: the order folder

    const Fields customer { Order::CustomerNumber, Order::CustomerLine1, Order::CustomerLine2, Order::CustomerLine3,
                            Order::Info };
    const Fields head { Order::DeliveryDate,  Order::OrderDate,      Order::PaymentTerms, Order::RegistrationNumber,
                        Order::FreightMethod, Order::DeliveryMethod, Order::VatCode };

    QTest::newRow("no customer file") << QStringList { "1042_data1.dbf" } << QString() << 0 << customer << 2
                                      << QStringList { "Filen %1/1042_data1.dbf saknas." };
    QTest::newRow("no head file") << QStringList { "1042_data2.dbf" } << QString() << 0 << head << 2
                                  << QStringList { "Filen %1/1042_data2.dbf saknas." };
    // The lines as printed are read, not the basket the desk goes on adding
    // to; an order printed before they were kept apart has its basket read.
    QTest::newRow("lines fetched after printing")
        << QStringList {} << "1042.basket.dbf" << 1000 << Fields {} << 2 << QStringList {};
    QTest::newRow("printed before the lines were kept apart")
        << QStringList { "1042_data3.dbf" } << QString() << 0 << Fields {} << 2 << QStringList {};
    QTest::newRow("no lines kept") << QStringList { "1042_data3.dbf", "1042.basket.dbf" } << QString() << 0 << Fields {}
                                   << 0
                                   << QStringList { "Filen %1/1042.basket.dbf saknas: ordern har inga sparade "
                                                    "orderrader." };
    QTest::newRow("nothing but the number")
        << QStringList { "1042_data1.dbf", "1042_data2.dbf", "1042_data3.dbf", "1042.basket.dbf" } << QString() << 0
        << customer + head << 0
        << QStringList { "Filen %1/1042_data1.dbf saknas.", "Filen %1/1042_data2.dbf saknas.",
                         "Filen %1/1042.basket.dbf saknas: ordern har inga sparade orderrader." };
    QTest::newRow("lines cut") << QStringList {} << "1042_data3.dbf" << 70 << Fields {} << 1
                               << QStringList { "Filen %1/1042_data3.dbf är avkortad: den sista orderraden "
                                                "saknas." };
    // The head file holds number, delivery date and order date on its first
    // three lines (6 + 8 + 8 bytes).
    QTest::newRow("head file cut after three lines")
        << QStringList {} << "1042_data2.dbf" << 22
        << Fields { Order::PaymentTerms, Order::RegistrationNumber, Order::FreightMethod, Order::DeliveryMethod,
                    Order::VatCode }
        << 2 << QStringList { "Filen %1/1042_data2.dbf är avkortad." };
    QTest::newRow("customer file without its last line end")
        << QStringList {} << "1042_data1.dbf" << -2 << Fields {} << 2
        << QStringList { "Filen %1/1042_data1.dbf är avkortad." };
}

void TestArchiveReading::whatIsKnownIsKept()
{
    QFETCH(QStringList, removed);
    QFETCH(QString, cut);
    QFETCH(int, kept);
    QFETCH(Fields, lost);
    QFETCH(int, linesKept);
    QFETCH(QStringList, problems);

    TestDataFolder folder;
    const Order order = printedOrder();
    fileOrder(folder, order);
    for (const QString& file : removed)
        folder.remove("Order/" + file);
    if (!cut.isEmpty()) {
        const QByteArray bytes = folder.read("Order/" + cut);
        // Kept beyond its end: the lines fetched into the basket once more.
        folder.write("Order/" + cut,
                     kept > bytes.size() ? bytes + bytes
                         : kept >= 0     ? bytes.left(kept)
                                         : bytes.chopped(-kept));
    }

    const core::ArchivedOrder archived = core::readArchivedOrder(folder.data(), QStringLiteral("1042"));
    const QString orderFolder = QDir::toNativeSeparators(folder.path("Order"));
    QStringList expectedProblems;
    for (const QString& problem : problems)
        expectedProblems.append(problem.arg(orderFolder));
    QCOMPARE(archived.problems, expectedProblems);

    Order expected = order;
    for (int field : lost)
        expected.setText(Order::Field(field), QString());
    expected.setLines(order.lines().first(linesKept));
    for (int field = 0; field < Order::fieldCount; ++field)
        QCOMPARE(archived.order.text(Order::Field(field)), expected.text(Order::Field(field)));
    QCOMPARE(archived.order.lines(), expected.lines());
}

void TestArchiveReading::numberThatNamesNoFile()
{
    TestDataFolder folder;
    const core::ArchivedOrder archived = core::readArchivedOrder(folder.data(), QStringLiteral("../1042"));
    QCOMPARE(archived.problems, QStringList { "ordernumret \"../1042\" kan inte vara en del av ett filnamn." });
    QCOMPARE(archived.order.text(Order::OrderNumber), QStringLiteral("../1042"));
    QVERIFY(archived.order.lines().isEmpty());
}

void TestArchiveReading::readersNameACutOrMissingFile_data()
{
    QTest::addColumn<QString>("file"); // under System
    QTest::addColumn<QByteArray>("bytes"); // a null array: no file
    QTest::addColumn<Reader>("reader");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("rows");

    using core::CodeRegister;
    const auto codes = [](CodeRegister which) {
        return Reader([which](const datafiles::DataDirectory& d) {
            const core::RegisterRead r = core::readRegister(d, which);
            return Read { r.rows.size(), r.failure, r.cutShort };
        });
    };
    const Reader products = [](const datafiles::DataDirectory& d) {
        const core::RecordsRead r = core::readProducts(d);
        return Read { r.records.recordCount(), r.failure, r.cutShort };
    };
    const Reader basket = [](const datafiles::DataDirectory& d) {
        const core::BasketRead r = core::readBasket(d, QStringLiteral("124"));
        return Read { r.lines.size(), r.failure, r.cutShort };
    };
    const Reader list = [](const datafiles::DataDirectory& d) {
        const core::OrderListRead r = core::readOrderList(d);
        return Read { r.list.size(), r.failure, r.cutShort };
    };
    const QByteArray twoCodes = "\"1\",\"Ett\"\r\n\"2\",\"Tv\xE5\"\r\n\"3\"\r\n";
    QTest::newRow("payment terms cut") << "Registret/Betalningsvillkor.dbf" << twoCodes
                                       << codes(CodeRegister::PaymentTerms) << "läsa registret över betalningsvillkor"
                                       << 2;
    QTest::newRow("delivery methods missing")
        << "Registret/Leveranssätt.dbf" << QByteArray() << codes(CodeRegister::DeliveryMethod)
        << "läsa registret över leveranssätt" << 0;
    QTest::newRow("freight methods cut") << "Registret/Fraktsätt.dbf" << twoCodes << codes(CodeRegister::FreightMethod)
                                         << "läsa registret över fraktsätt" << 2;
    QTest::newRow("products cut") << "Registret/Produkter.dbf"
                                  << QByteArray("\"A-1\",\"Hel\",\"st\",\"1.00\"\r\n\"B-2\",\"Halv\"\r\n") << products
                                  << "läsa produktregistret" << 1;
    QTest::newRow("products missing") << "Registret/Produkter.dbf" << QByteArray() << products
                                      << "läsa produktregistret" << 0;
    QTest::newRow("basket cut") << "Order/124.basket.dbf"
                                << QByteArray("\"A\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n\"C1\",\"M\"") << basket
                                << "hämta orderraderna för order 124" << 1;
    QTest::newRow("order list cut") << "Order/lista.dbf" << QByteArray("\"060315\",\"124\",\"1001\",\"ABC\"\r\n\"06")
                                    << list << "läsa listan över utskrivna order" << 1;
}

void TestArchiveReading::readersNameACutOrMissingFile()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(Reader, reader);
    TestDataFolder folder;
    if (!bytes.isNull())
        folder.write(file, bytes);

    // The complete records are read; the file and the reason are named for
    // the operator, the reason of a cut file in the usual words.
    const Read read = reader(folder.data());
    QTEST(int(read.rows), "rows");
    const std::optional<datafiles::Failure>& told = bytes.isNull() ? read.failure : read.cutShort;
    QVERIFY(told);
    QVERIFY(!(bytes.isNull() ? read.cutShort : read.failure));
    QTEST(told->operation, "operation");
    QCOMPARE(told->file, folder.path(file));
    if (!bytes.isNull())
        QCOMPARE(told->reason, QStringLiteral("filen slutar mitt i en post; de hela posterna före den används"));
}

QTEST_GUILESS_MAIN(TestArchiveReading)
#include "tst_archivereading.moc"
