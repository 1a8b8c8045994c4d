// The order on the desk: each change goes through the open order, which writes
// the file the change needs and tells the views what changed.

#include "datafiles/records.h"
#include "order/archive.h"
#include "order/crashpoint.h"
#include "order/journal.h"
#include "order/numbering.h"
#include "order/openorder.h"
#include "order/registration.h"
#include "support/datafolder.h"

#include <QDir>
#include <QTest>

#include <functional>

using core::OpenOrder;
using core::Order;

using Change = std::function<std::optional<datafiles::Failure>(OpenOrder&)>;
using Files = QMap<QString, QByteArray>;
Q_DECLARE_METATYPE(Change)

namespace {

QByteArray records(const QList<int>& numbers)
{
    QByteArray bytes;
    for (const QStringList& line : numberedLines(numbers))
        bytes += datafiles::quotedRecord(line);
    return bytes;
}

// Order 42 on the desk with lines 1 to 4, its basket holding them; 41 is the
// last number used and order 40 was printed with line 9.
struct Desk
{
    Desk()
    {
        folder.write("Registret/OrderNr.dbf", "41\r\n");
        folder.write("Order/42.basket.dbf", records({ 1, 2, 3, 4 }));
        Order order = sampleOrder();
        order.setText(Order::OrderNumber, QStringLiteral("42"));
        order.setLines(orderLinesOf(numberedLines({ 1, 2, 3, 4 })));
        open.replaceForTesting(order);
    }

    TestDataFolder folder;
    OpenOrder open { folder.data(), [] {
                        return QDate(2026, 12, 7).startOfDay();
                    } };
};

Order printed()
{
    Order order = sampleOrder();
    order.setText(Order::OrderNumber, QStringLiteral("40"));
    order.setText(Order::CustomerLine1, QStringLiteral("Lind, Karin"));
    order.setLines(orderLinesOf(numberedLines({ 9 })));
    return order;
}

struct Stopped
{
};

} // namespace

class TestOpenOrder : public QObject
{
    Q_OBJECT

private slots:
    void changesWriteTheFilesTheyNeed_data();
    void changesWriteTheFilesTheyNeed();
    void aChangeThatCannotBeWritten_data();
    void aChangeThatCannotBeWritten();
    void aRefusedLineIsNotAdded();
    void aNumberAJournalHoldsIsNotHandedOutAgain();
};

void TestOpenOrder::changesWriteTheFilesTheyNeed_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QList<int>>("lines"); // the order's lines after it
    QTest::addColumn<QString>("number");
    QTest::addColumn<Files>("files"); // under System/Order and System/Registret

    const Files untouched { { "Order/42.basket.dbf", records({ 1, 2, 3, 4 }) }, { "Registret/OrderNr.dbf", "41\r\n" } };
    const auto with = [untouched](const QString& file, const QByteArray& bytes) {
        Files files = untouched;
        files.insert(file, bytes);
        return files;
    };
    QTest::newRow("a line added: the basket first")
        << Change([](OpenOrder& o) { return o.addLines(orderLinesOf(numberedLines({ 5 }))); })
        << QList<int> { 1, 2, 3, 4, 5 } << "42" << with("Order/42.basket.dbf", records({ 1, 2, 3, 4, 5 }));
    QTest::newRow("lines fetched from a printed order are kept too") << Change([](OpenOrder& o) {
        return o.fetchLines(orderLinesOf(numberedLines({ 7, 8 })));
    }) << QList<int> { 1, 2, 3, 4, 7, 8 } << "42" << with("Order/42.basket.dbf", records({ 1, 2, 3, 4, 7, 8 }));
    QTest::newRow("lines removed: the basket rewritten") << Change([](OpenOrder& o) {
        return o.removeLines({ 3, 0, 3, 9 });
    }) << QList<int> { 2, 3 } << "42" << with("Order/42.basket.dbf", records({ 2, 3 }));
    QTest::newRow("nothing to remove writes nothing")
        << Change([](OpenOrder& o) { return o.removeLines({}); }) << QList<int> { 1, 2, 3, 4 } << "42" << untouched;
    // The lines that stay on screen go with the new number into its basket.
    QTest::newRow("Ny keeps the lines in the new order's basket")
        << Change([](OpenOrder& o) { return o.recordNumber() ? o.recordNumber() : o.startNew(); })
        << QList<int> { 1, 2, 3, 4 } << "43"
        << Files { { "Order/42.basket.dbf", records({ 1, 2, 3, 4 }) },
                   { "Order/43.basket.dbf", records({ 1, 2, 3, 4 }) },
                   { "Registret/OrderNr.dbf", "42\r\n" } };
    QTest::newRow("the number recorded by hand")
        << Change([](OpenOrder& o) { return o.recordNumber(); }) << QList<int> { 1, 2, 3, 4 } << "42"
        << with("Registret/OrderNr.dbf", "42\r\n");
    QTest::newRow("a new order from a printed one has its basket at once")
        << Change([](OpenOrder& o) { return o.startFrom(printed()); }) << QList<int> { 9 } << "42"
        << with("Order/42.basket.dbf", records({ 9 }));
}

void TestOpenOrder::changesWriteTheFilesTheyNeed()
{
    QFETCH(Change, change);
    QFETCH(QList<int>, lines);
    QFETCH(QString, number);
    QFETCH(Files, files);
    Desk desk;
    QVERIFY(!change(desk.open));

    QCOMPARE(desk.open.order().lines(), orderLinesOf(numberedLines(lines)));
    QCOMPARE(desk.open.order().text(Order::OrderNumber), number);
    Files written;
    for (const char* folder : { "Order", "Registret" }) {
        for (const QString& name : QDir(desk.folder.path(QLatin1String(folder))).entryList(QDir::Files)) {
            const QString file = QLatin1String(folder) + QLatin1Char('/') + name;
            written.insert(file, desk.folder.read(file));
        }
    }
    QCOMPARE(written, files);
}

void TestOpenOrder::aChangeThatCannotBeWritten_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QList<int>>("lines");
    QTest::addColumn<QString>("operation");

    QTest::newRow("a line added") << Change([](OpenOrder& o) { return o.addLines(orderLinesOf(numberedLines({ 5 }))); })
                                  << QList<int> { 1, 2, 3, 4 } << "lägga till orderraden";
    // The lines stay removed; the basket could not follow.
    QTest::newRow("lines removed") << Change([](OpenOrder& o) { return o.removeLines({ 0 }); })
                                   << QList<int> { 2, 3, 4 } << "spara orderraderna";
    QTest::newRow("a new order from a printed one") << Change([](OpenOrder& o) { return o.startFrom(printed()); })
                                                    << QList<int> { 1, 2, 3, 4 } << "spara orderraderna";
}

void TestOpenOrder::aChangeThatCannotBeWritten()
{
    QFETCH(Change, change);
    QFETCH(QList<int>, lines);
    Desk desk;
    desk.folder.remove("Order");

    const std::optional<datafiles::Failure> failure = change(desk.open);

    QVERIFY(failure);
    QTEST(failure->operation, "operation");
    QVERIFY(failure->file.startsWith(desk.folder.path("Order/")));
    QCOMPARE(desk.open.order().lines(), orderLinesOf(numberedLines(lines)));
    QCOMPARE(desk.open.order().text(Order::OrderNumber), QStringLiteral("42"));
}

// The values the product picker refuses are refused whichever way a line comes.
void TestOpenOrder::aRefusedLineIsNotAdded()
{
    Desk desk;
    QList<QStringList> lines = numberedLines({ 5 });
    lines[0][core::OrderLine::Discount] = QStringLiteral("150");
    const std::optional<datafiles::Failure> failure = desk.open.addLines(orderLinesOf(lines));
    QVERIFY(failure && failure->is(datafiles::FailureKind::RefusedByRule));
    QCOMPARE(desk.open.order().lines(), orderLinesOf(numberedLines({ 1, 2, 3, 4 })));
    QCOMPARE(desk.folder.read("Order/42.basket.dbf"), records({ 1, 2, 3, 4 }));
}

void TestOpenOrder::aNumberAJournalHoldsIsNotHandedOutAgain()
{
    TestDataFolder folder;
    folder.write("Registret/OrderNr.dbf", "1041\r\n");
    OpenOrder desk(folder.data(), [] { return QDate(2026, 12, 7).startOfDay(); });
    const auto stopAfterJournal = [](core::CrashPoint point) {
        if (point == core::CrashPoint::Journal)
            throw Stopped();
    };

    // A journal whose registration could not be completed still holds its
    // number: the order may be out on paper.
    core::RegistrationPlan plan;
    plan.orderNumber = QStringLiteral("1042");
    plan.orderNumberFile = "1042\r\n";
    const QString othersJournal = folder.data().registrationJournalOf(datafiles::Desk::another()->id());
    folder.write(othersJournal.section(u'/', -2), core::encodeJournal(plan));
    QCOMPARE(core::claimNextNumber(folder.data()).number, QStringLiteral("1043"));
    QFile::remove(othersJournal);

    // One printing stops after its journal while the program goes on (the
    // order-number file could not be written); "Ny" completes it first.
    QVERIFY(!desk.startNew());
    QVERIFY(!desk.addLines(orderLinesOf(numberedLines({ 1 }))));
    {
        const core::CrashHookForTesting stop(stopAfterJournal);
        QVERIFY_THROWS_EXCEPTION(Stopped, core::registerOrder(folder.data(), desk.order()));
    }
    QVERIFY(!desk.startNew());
    QCOMPARE(desk.order().text(Order::OrderNumber), QStringLiteral("1043"));
    desk.removeLines({ 0 });
    QVERIFY(!desk.addLines(orderLinesOf(numberedLines({ 2 }))));
    QVERIFY(!core::registerOrder(folder.data(), desk.order()));

    // Each order has its own number, archive and basket.
    QCOMPARE(folder.read("Registret/OrderNr.dbf"), QByteArray("1043\r\n"));
    for (const auto& [number, line] : { std::pair { "1042", 1 }, std::pair { "1043", 2 } }) {
        const core::ArchivedOrder archived = core::readArchivedOrder(folder.data(), QLatin1String(number));
        QVERIFY2(archived.problems.isEmpty(), qPrintable(archived.problems.join(' ')));
        QCOMPARE(archived.order.lines(), orderLinesOf(numberedLines({ line })));
    }
    QCOMPARE(core::readOrderList(folder.data()).list.size(), 2);
}

QTEST_GUILESS_MAIN(TestOpenOrder)
#include "tst_openorder.moc"
