// The orders of a period as the accountant gets them: the CSV's bytes, with
// the amounts of the printed forms.

#include "office/orderexport.h"
#include "order/basket.h"
#include "order/orderstatus.h"
#include "order/registration.h"
#include "support/datafolder.h"

#include <QTest>

using core::Order;

namespace {

const QByteArray header = "\xEF\xBB\xBFOrderdatum;Ordernr;Kundnr;Namn;Status;Exkl moms;Moms %;Moms;Att betala;"
                          "Betk;Betalningsvillkor;Levs;Leveranss\xC3\xA4tt;Frkts;Frakts\xC3\xA4tt";
const QByteArray perLineHeader = ";Artikelnr;Ben\xC3\xA4mning;Enhet;A-pris;Antal;Rab %;Radsumma";
const QByteArray head = "2006-03-15;124;1001;Bergstr\xC3\xB6m Bygg AB;Registrerad;";
const QByteArray codes = ";1;30 dagar netto;1;Utk\xC3\xB6rt;0;Posten";

enum class Damage { None, HandEditedAmount, NoBasket, ListLineCut, PrintedTwice, PrintedTwiceInPeriod, FirstDay };

// Order 124 printed as the program prints it: its basket, its archive files,
// its line in the order list.
void print(const TestDataFolder& folder, const Order& order)
{
    if (!order.lines().isEmpty())
        core::rewriteBasket(folder.data(), order.text(Order::OrderNumber), order.lines());
    QVERIFY(!core::registerOrder(folder.data(), order));
}

} // namespace

class TestOrderExport : public QObject
{
    Q_OBJECT

private slots:
    void csvOfThePeriod_data();
    void csvOfThePeriod();
    void statesAndVoidedOrders_data();
    void statesAndVoidedOrders();
    void cancelledExportLeavesNoFile();
    void businessFirst();
};

void TestOrderExport::csvOfThePeriod_data()
{
    QTest::addColumn<QString>("vatCode");
    QTest::addColumn<int>("damage");
    QTest::addColumn<bool>("perLine");
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<QStringList>("incomplete");

    QTest::newRow("25 %") << "0" << int(Damage::None) << false << head + "398,00;25;99,50;497,50" + codes + "\r\n"
                          << QStringList();
    QTest::newRow("a code without a rate") << "2" << int(Damage::None) << false << head + "398,00;;;" + codes + "\r\n"
                                           << QStringList { "124" };
    QTest::newRow("one row a line, an amount edited by hand") << "0" << int(Damage::HandEditedAmount) << true
                                                              << head + "211,50;25;52,88;264,38" + codes
            + ";TS35-25;Tr\xC3\xA4skruv f\xC3\xB6rzinkad 3.5x25 200 st;f\xC3\xB6rp;99,50;2;0;199,00\r\n" + head
            + "211,50;25;52,88;264,38" + codes
            + ";TS35-26;Tr\xC3\xA4skruv f\xC3\xB6rzinkad 3.5x26 200 st;f\xC3\xB6rp;99,50;2;0;12,5\r\n"
                                                              << QStringList();
    QTest::newRow("without a basket") << "0" << int(Damage::NoBasket) << true
                                      << head + "0,00;25;0,00;0,00" + codes + ";;;;;;;\r\n"
                                      << QStringList { "124" };
    // The list cut inside the next printing's line: the orders before it are
    // exported, and the cut is told.
    QTest::newRow("the list cut after it")
        << "0" << int(Damage::ListLineCut) << false << head + "398,00;25;99,50;497,50" + codes + "\r\n"
        << QStringList();
    // Printed in February, or on 2 March, then again on 15 March with the name
    // corrected: the last printing is the order, exported once.
    QTest::newRow("printed twice") << "0" << int(Damage::PrintedTwice) << false
                                   << head + "398,00;25;99,50;497,50" + codes + "\r\n"
                                   << QStringList();
    QTest::newRow("printed twice in the period")
        << "0" << int(Damage::PrintedTwiceInPeriod) << false << head + "398,00;25;99,50;497,50" + codes + "\r\n"
        << QStringList();
    QTest::newRow("dated on the first day, a quote in the name")
        << "0" << int(Damage::FirstDay) << false
        << "2006-03-01;124;1001;\"Bergstr\xC3\xB6m \"\"Bygg\"\" AB\";Registrerad;398,00;25;99,50;497,50" + codes
            + "\r\n"
        << QStringList();
}

void TestOrderExport::csvOfThePeriod()
{
    QFETCH(QString, vatCode);
    QFETCH(int, damage);
    QFETCH(bool, perLine);
    TestDataFolder folder;
    folder.copySample(QStringLiteral("Registret/Betalningsvillkor.dbf"));
    Order order = sampleOrder(2);
    order.setText(Order::VatCode, vatCode);
    if (Damage(damage) == Damage::HandEditedAmount) {
        core::OrderLine edited = order.lines().at(1);
        edited.texts[core::OrderLine::LineAmount] = QStringLiteral("12.5");
        order.setLines({ order.lines().at(0), edited });
    }
    if (Damage(damage) == Damage::FirstDay) {
        order.setText(Order::OrderDate, QStringLiteral("060301"));
        order.setText(Order::CustomerLine1, QStringLiteral("Bergström \"Bygg\" AB"));
    }
    if (Damage(damage) == Damage::PrintedTwice || Damage(damage) == Damage::PrintedTwiceInPeriod) {
        Order earlier = order;
        earlier.setText(Order::OrderDate, Damage(damage) == Damage::PrintedTwice ? "060228" : "060302");
        earlier.setText(Order::CustomerLine1, QStringLiteral("Bergstrom Bygg"));
        print(folder, earlier);
    }
    // Printed on either side of the period: not exported.
    for (const char* date : { "060228", "060401" }) {
        Order outside = sampleOrder(1);
        outside.setText(Order::OrderNumber, QString::fromLatin1(date).right(3));
        outside.setText(Order::OrderDate, QString::fromLatin1(date));
        print(folder, outside);
    }
    if (Damage(damage) == Damage::NoBasket)
        order.setLines({});
    print(folder, order);
    // Its lines as printed and its basket both gone.
    if (Damage(damage) == Damage::NoBasket)
        folder.remove("Order/124_data3.dbf");
    if (Damage(damage) == Damage::ListLineCut)
        folder.write("Order/lista.dbf", folder.read("Order/lista.dbf") + "\"060316\",\"125\",\"10");

    const QString file = folder.programFolder() + QStringLiteral("/order-2006-03.csv");
    const office::ExportOutcome exported = office::exportOrders(
        folder.data(), QDate(2006, 3, 1), QDate(2006, 3, 31),
        perLine ? office::ExportRows::PerLine : office::ExportRows::PerOrder, office::VoidedOrders::LeftOut, file);
    QVERIFY(!exported.failure);
    QCOMPARE(exported.cutShort.size(), Damage(damage) == Damage::ListLineCut ? 1 : 0);
    QCOMPARE(exported.orders, 1);
    QFile csv(file);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QFETCH(QByteArray, rows);
    QCOMPARE(csv.readAll(), header + (perLine ? perLineHeader : QByteArray()) + "\r\n" + rows);
    QStringList incomplete;
    for (const office::IncompleteOrder& each : exported.incomplete)
        incomplete.append(each.orderNumber);
    QTEST(incomplete, "incomplete");
}

void TestOrderExport::statesAndVoidedOrders_data()
{
    QTest::addColumn<int>("command"); // given to order 124
    QTest::addColumn<bool>("includeVoided");
    QTest::addColumn<QString>("rows"); // each exported row's number and state

    using C = core::StatusCommand;
    QTest::newRow("delivered") << int(C::Deliver) << false << "124 Levererad, 125 Registrerad";
    QTest::newRow("invoiced") << int(C::Invoice) << false << "124 Fakturerad, 125 Registrerad";
    QTest::newRow("voided, left out") << int(C::Void) << false << "125 Registrerad";
    QTest::newRow("voided, ticked") << int(C::Void) << true << "124 Makulerad, 125 Registrerad";
}

void TestOrderExport::statesAndVoidedOrders()
{
    QFETCH(int, command);
    QFETCH(bool, includeVoided);
    QFETCH(QString, rows);
    TestDataFolder folder;
    Order order = sampleOrder(1);
    print(folder, order);
    order.setText(Order::OrderNumber, QStringLiteral("125"));
    print(folder, order);
    core::StatusLog log;
    QVERIFY(!core::changeStatus(folder.data(), log, { "124" }, core::StatusCommand(command), QDateTime(), "Fel kund")
                 .failure);

    const QString file = folder.programFolder() + QStringLiteral("/order.csv");
    const office::ExportOutcome exported
        = office::exportOrders(folder.data(), QDate(2006, 3, 1), QDate(2006, 3, 31), office::ExportRows::PerOrder,
                               includeVoided ? office::VoidedOrders::Included : office::VoidedOrders::LeftOut, file);
    QCOMPARE(exported.voidedLeftOut, rows.startsWith("124") ? 0 : 1);
    QFile csv(file);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QStringList shown;
    for (const QByteArray& row : csv.readAll().trimmed().split('\n').mid(1))
        shown.append(QString::fromUtf8(row.split(';').value(1) + ' ' + row.split(';').value(4)));
    QCOMPARE(shown.join(", "), rows);
}

void TestOrderExport::cancelledExportLeavesNoFile()
{
    TestDataFolder folder;
    print(folder, sampleOrder(1));
    const QString file = folder.programFolder() + QStringLiteral("/order.csv");
    const office::ExportOutcome exported
        = office::exportOrders(folder.data(), QDate(2006, 3, 1), QDate(2006, 3, 31), office::ExportRows::PerOrder,
                               office::VoidedOrders::Included, file, [](qint64, qint64) { return false; });
    QVERIFY(exported.cancelled);
    QVERIFY(!QFile::exists(file));
}

// The business's details in the first row, then an empty row, then the table.
void TestOrderExport::businessFirst()
{
    TestDataFolder folder;
    folder.write(
        "Registret/Företaget.dbf",
        "\"Namn\",\"J\xe4rnhandeln AB\"\r\n\"Adress\",\"Storgatan 1\"\r\n\"Organisationsnummer\",\"556677-8899\"\r\n");
    print(folder, sampleOrder(1));
    const QString file = folder.programFolder() + QStringLiteral("/order.csv");
    QVERIFY(!office::exportOrders(folder.data(), QDate(2006, 3, 1), QDate(2006, 3, 31), office::ExportRows::PerOrder,
                                  office::VoidedOrders::LeftOut, file)
                 .failure);
    QFile csv(file);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QVERIFY(csv.readAll().startsWith("\xEF\xBB\xBFJ\xC3\xA4rnhandeln AB;Storgatan 1;Org.nr 556677-8899\r\n\r\n"
                                     + header.sliced(3)));
}

QTEST_GUILESS_MAIN(TestOrderExport)
#include "tst_orderexport.moc"
