#include "datafiles/desks.h"
#include "order/archive.h"
#include "order/order.h"
#include "order/registration.h"
#include "support/datafolder.h"

#include <QDir>
#include <QTest>

using core::Order;

namespace {

// The four files in the order they are written.
const QStringList registrationFiles { "Registret/OrderNr.dbf", "Order/124_data1.dbf", "Order/124_data2.dbf",
                                      "Order/lista.dbf" };

// What stopped the registration, in the operator's words; empty when it ran
// to its end.
QString registrationFailure(const TestDataFolder& folder, const Order& order)
{
    const std::optional<datafiles::Failure> failure = core::registerOrder(folder.data(), order);
    if (!failure)
        return {};
    return failure->operation + QStringLiteral(": ") + failure->file + QStringLiteral(": ") + failure->reason;
}

} // namespace

class TestRegistration : public QObject
{
    Q_OBJECT

private slots:
    void archiveFiles_data();
    void archiveFiles();
    void registeringTwiceListsTwiceAndArchivesOnce();
    void quoteInNameCannotBreakTheOrderList();
    void confirmation_data();
    void confirmation();
    void failureKeepsTheFilesWrittenBeforeIt_data();
    void failureKeepsTheFilesWrittenBeforeIt();
    void orderNumberFileKeepsTheHighest_data();
    void orderNumberFileKeepsTheHighest();
    void numberAnotherDeskClaimedIsRefused();
};

void TestRegistration::archiveFiles_data()
{
    QTest::addColumn<QStringList>("fields"); // order no, customer 0-3, info, VAT code
    QTest::addColumn<QByteArray>("orderNumber");
    QTest::addColumn<QByteArray>("data1");
    QTest::addColumn<QByteArray>("data2");
    QTest::addColumn<QByteArray>("list");

    QTest::newRow("whole order") << QStringList { "124", "1001", "ABC", "Storgatan 1", "123 45  Ort", "Ring", "0" }
                                 << QByteArray("124\r\n")
                                 << QByteArray("1001\r\nABC\r\nStorgatan 1\r\n123 45  Ort\r\nRing\r\n")
                                 << QByteArray("124\r\n060320\r\n060315\r\n1\r\nABC123\r\n0\r\n1\r\n0\r\n")
                                 << QByteArray("\"060315\",\"124\",\"1001\",\"ABC\"\r\n");
    QTest::newRow("empty customer") << QStringList { "124", "", "", "", "", "Ring", "0" } << QByteArray("124\r\n")
                                    << QByteArray("\r\n\r\n\r\n\r\nRing\r\n")
                                    << QByteArray("124\r\n060320\r\n060315\r\n1\r\nABC123\r\n0\r\n1\r\n0\r\n")
                                    << QByteArray("\"060315\",\"124\",\"\",\"\"\r\n");
    QTest::newRow("empty VAT code") << QStringList { "125", "1001", "ABC", "", "", "", "" } << QByteArray("125\r\n")
                                    << QByteArray("1001\r\nABC\r\n\r\n\r\n\r\n")
                                    << QByteArray("125\r\n060320\r\n060315\r\n1\r\nABC123\r\n0\r\n1\r\n\r\n")
                                    << QByteArray("\"060315\",\"125\",\"1001\",\"ABC\"\r\n");
    QTest::newRow("å ä ö as single bytes, comma in the name")
        << QStringList { "126", "1001", "Åkesson & Öberg, Mälardalen", "Gärdesvägen 2", "", "Höger", "0" }
        << QByteArray("126\r\n")
        << QByteArray("1001\r\n\xC5kesson & \xD6"
                      "berg, M\xE4lardalen\r\nG\xE4rdesv\xE4gen 2\r\n\r\nH\xF6ger\r\n")
        << QByteArray("126\r\n060320\r\n060315\r\n1\r\nABC123\r\n0\r\n1\r\n0\r\n")
        << QByteArray("\"060315\",\"126\",\"1001\",\"\xC5kesson & \xD6"
                      "berg, M\xE4lardalen\"\r\n");
}

void TestRegistration::archiveFiles()
{
    QFETCH(QStringList, fields);
    QFETCH(QByteArray, list);

    TestDataFolder folder;
    Order order = sampleOrder(1);
    const Order::Field filled[]
        = { Order::OrderNumber,   Order::CustomerNumber, Order::CustomerLine1, Order::CustomerLine2,
            Order::CustomerLine3, Order::Info,           Order::VatCode };
    for (int i = 0; i < 7; ++i)
        order.setText(filled[i], fields.at(i));
    QCOMPARE(registrationFailure(folder, order), QString());

    const QString nr = fields.at(0);
    QTEST(folder.read("Registret/OrderNr.dbf"), "orderNumber");
    QTEST(folder.read("Order/" + nr + "_data1.dbf"), "data1");
    QTEST(folder.read("Order/" + nr + "_data2.dbf"), "data2");
    QCOMPARE(folder.read("Order/lista.dbf"), list);
}

void TestRegistration::registeringTwiceListsTwiceAndArchivesOnce()
{
    TestDataFolder folder;
    folder.write("Order/lista.dbf", "\"060314\",\"123\",\"1002\",\"Annan kund\"\r\n");
    Order order = sampleOrder(1);
    QCOMPARE(registrationFailure(folder, order), QString());
    order.setText(Order::CustomerLine3, QStringLiteral("Ny ort"));
    QCOMPARE(registrationFailure(folder, order), QString());

    const QByteArray line("\"060315\",\"124\",\"1001\",\"Bergstr\xF6m Bygg AB\"\r\n");
    QCOMPARE(folder.read("Order/lista.dbf"), "\"060314\",\"123\",\"1002\",\"Annan kund\"\r\n" + line + line);
    QCOMPARE(folder.read("Order/124_data1.dbf"),
             QByteArray("1001\r\nBergstr\xF6m Bygg AB\r\nIndustriv\xE4gen 14\r\nNy ort\r\n"
                        "Leverans till bakre lastkajen\r\n"));
    QCOMPARE(folder.read("Registret/OrderNr.dbf"), QByteArray("124\r\n"));
    QCOMPARE(QDir(folder.path("Order")).entryList(QDir::Files),
             (QStringList { "124_data1.dbf", "124_data2.dbf", "124_data3.dbf", "lista.dbf" }));
}

void TestRegistration::quoteInNameCannotBreakTheOrderList()
{
    TestDataFolder folder;
    Order order = sampleOrder(1);
    order.setText(Order::CustomerLine1, QStringLiteral("Bygg \"Nya\" AB, Lund"));
    QCOMPARE(registrationFailure(folder, order), QString());

    QCOMPARE(folder.read("Order/lista.dbf"),
             QByteArray("\"060315\",\"124\",\"1001\",\"Bygg \x94Nya\x94 AB, Lund\"\r\n"));
    QCOMPARE(core::readOrderList(folder.data()).list.entries(),
             (QList<core::OrderListEntry> { { "060315", "124", "1001", "Bygg ”Nya” AB, Lund" } }));
    // The archive keeps the name as typed: it is one value a line.
    QCOMPARE(folder.read("Order/124_data1.dbf").split('\n').at(1), QByteArray("Bygg \"Nya\" AB, Lund\r"));
}

void TestRegistration::confirmation_data()
{
    QTest::addColumn<QString>("savedAs");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");

    const QString head = QStringLiteral("Ordernummer: 124\r\n\r\nBergström Bygg AB\r\nIndustrivägen 14\r\n"
                                        "433 38  Partille\r\n\r\n");
    QTest::newRow("printed") << QString() << "Utskrift pågår..."
                             << head + QStringLiteral("Utskrift pågår...                             ");
    const QString pdf = QDir::toNativeSeparators(QDir::tempPath() + QStringLiteral("/System/Order/124.pdf"));
    QTest::newRow("no printer: says where the copy is, not that it prints")
        << QDir::tempPath() + QStringLiteral("/System/Order/124.pdf") << "Ordern är sparad som PDF"
        << head
            + QStringLiteral("Det finns ingen skrivare att skriva ut på. Ordern är registrerad och sparad som PDF "
                             "i\r\n")
            + pdf;
}

void TestRegistration::confirmation()
{
    QFETCH(QString, savedAs);
    QFETCH(QString, title);
    QFETCH(QString, text);

    QCOMPARE(core::confirmationOf(sampleOrder(1), savedAs), (core::Confirmation { title, text }));
}

void TestRegistration::failureKeepsTheFilesWrittenBeforeIt_data()
{
    QTest::addColumn<int>("failingStep"); // of registrationFiles
    QTest::addColumn<bool>("folderMissing"); // else a folder stands where the file belongs

    QTest::newRow("order-number file") << 0 << false;
    QTest::newRow("archive customer file") << 1 << false;
    QTest::newRow("archive order-head file") << 2 << false;
    QTest::newRow("order list") << 3 << false;
    QTest::newRow("order folder missing") << 1 << true;
}

void TestRegistration::failureKeepsTheFilesWrittenBeforeIt()
{
    QFETCH(int, failingStep);
    QFETCH(bool, folderMissing);

    TestDataFolder folder;
    const QList<QByteArray> earlier { "123\r\n", "1001\r\nGammal kund\r\n\r\n\r\n\r\n",
                                      "124\r\n060301\r\n060301\r\n0\r\n\r\n0\r\n0\r\n0\r\n",
                                      "\"060301\",\"124\",\"1001\",\"Gammal kund\"\r\n" };
    for (int i = 0; i < registrationFiles.size(); ++i)
        folder.write(registrationFiles.at(i), earlier.at(i));
    const QString failingFile = registrationFiles.at(failingStep);
    if (folderMissing) {
        folder.remove("Order");
    } else {
        folder.remove(failingFile);
        QDir().mkpath(folder.path(failingFile));
    }

    const Order order = sampleOrder(1);
    const std::optional<datafiles::Failure> failure = core::registerOrder(folder.data(), order);
    QVERIFY(failure);
    QCOMPARE(QDir::cleanPath(failure->file), QDir::cleanPath(folder.path(failingFile)));
    QVERIFY(!failure->operation.isEmpty());
    QVERIFY(!failure->reason.isEmpty());

    const QList<QByteArray> registered { "124\r\n", core::archiveCustomerBytes(order),
                                         core::archiveOrderHeadBytes(order), core::orderListLine(order) };
    for (int i = 0; i < failingStep; ++i)
        QCOMPARE(folder.read(registrationFiles.at(i)), registered.at(i));
    if (folderMissing)
        return;
    QVERIFY(QFileInfo(folder.path(failingFile)).isDir());
    for (int i = failingStep + 1; i < registrationFiles.size(); ++i)
        QCOMPARE(folder.read(registrationFiles.at(i)), earlier.at(i));
}

void TestRegistration::orderNumberFileKeepsTheHighest_data()
{
    QTest::addColumn<QByteArray>("recorded");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("a lower number") << QByteArray("123\r\n") << QByteArray("124\r\n");
    // Another desk registered a higher number meanwhile.
    QTest::newRow("a higher number") << QByteArray("0130\r\n") << QByteArray("0130\r\n");
    QTest::newRow("the same number") << QByteArray("124\r\n") << QByteArray("124\r\n");
    QTest::newRow("no number") << QByteArray("tolv\r\n") << QByteArray("124\r\n");
}

void TestRegistration::orderNumberFileKeepsTheHighest()
{
    QFETCH(QByteArray, recorded);
    TestDataFolder folder;
    folder.write("Registret/OrderNr.dbf", recorded);
    QCOMPARE(registrationFailure(folder, sampleOrder(1)), QString());
    QTEST(folder.read("Registret/OrderNr.dbf"), "after");
    QVERIFY(folder.exists("Order/124_data2.dbf"));
}

void TestRegistration::numberAnotherDeskClaimedIsRefused()
{
    TestDataFolder folder;
    folder.write("Skrivbord/124.claim", datafiles::Desk::another()->record().bytes());
    const std::optional<datafiles::Failure> failure = core::registerOrder(folder.data(), sampleOrder(1));
    QVERIFY(failure);
    QCOMPARE(failure->kind, datafiles::FailureKind::RefusedByRule);
    QVERIFY(!folder.exists("Order/124_data1.dbf") && !folder.exists("Order/lista.dbf"));
}

QTEST_MAIN(TestRegistration)
#include "tst_registration.moc"
