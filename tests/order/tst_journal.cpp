// The registration journal: what a registration is about to write, kept so
// that a registration stopped part-way can be completed, exactly once.

#include "datafiles/desks.h"
#include "order/crashpoint.h"
#include "order/journal.h"
#include "order/order.h"
#include "order/recovery.h"
#include "order/registration.h"
#include "support/datafolder.h"

#include <QTest>

namespace {

core::Order order(const QString& number, const QString& name)
{
    core::Order o;
    o.setText(core::Order::OrderNumber, number);
    o.setText(core::Order::OrderDate, QStringLiteral("261207"));
    o.setText(core::Order::CustomerNumber, QStringLiteral("1004"));
    o.setText(core::Order::CustomerLine1, name);
    return o;
}

// Thrown by a crash point, to stop a registration where the program could
// have stopped.
struct Stopped
{
};

std::function<void(core::CrashPoint)> stopAt(core::CrashPoint at)
{
    return [at](core::CrashPoint point) {
        if (point == at)
            throw Stopped();
    };
}

// The order list as it stood before the registration.
const QByteArray earlier = "\"261201\",\"1040\",\"1001\",\"Berg\"\r\n";

core::RegistrationPlan plan()
{
    core::RegistrationPlan p;
    p.orderNumber = QStringLiteral("1042");
    p.orderNumberFile = "1042\r\n";
    p.archiveCustomer = "1004\r\nLind, Karin\r\n\r\n\r\n\r\n";
    p.archiveOrderHead = "1042\r\n261207\r\n261207\r\n0\r\n\r\n0\r\n0\r\n0\r\n";
    p.listLengthBefore = earlier.size();
    p.listAppend = "\"261207\",\"1042\",\"1004\",\"Lind, Karin\"\r\n";
    return p;
}

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

private slots:
    void readsBackWhatWasWritten();
    void aDamagedJournalIsNone();
    void completingTwiceWritesOnce();
    void theListIsMendedOrLeftAlone_data();
    void theListIsMendedOrLeftAlone();
    void theSameOrderPrintedTwiceKeepsBothLines();
    void aFailedStepIsCompletedByTheNextRegistration();
    void startRemovesWhatAStoppedRunLeft();
};

void TestJournal::readsBackWhatWasWritten()
{
    core::RegistrationPlan p = plan();
    p.archiveCustomer += "\n\",\r\n"; // bytes the journal's own layout uses
    p.archiveLines = "\"A-1\",\"Skruv\",\"st\",\"1.00\",\"2\",\"\",\"2.00\"\r\n";
    QCOMPARE(core::decodeJournal(core::encodeJournal(p)), std::optional(p));
}

void TestJournal::aDamagedJournalIsNone()
{
    const QByteArray journal = core::encodeJournal(plan());
    for (qsizetype cut = 0; cut < journal.size(); ++cut)
        QVERIFY2(!core::decodeJournal(journal.left(cut)), qPrintable(QString::number(cut)));
    for (qsizetype at = 0; at < journal.size(); at += 7) {
        QByteArray damaged = journal;
        damaged[at] = char(damaged.at(at) ^ 0x20);
        QVERIFY2(!core::decodeJournal(damaged), qPrintable(QString::number(at)));
    }
    QVERIFY(!core::decodeJournal(journal + "x"));
}

void TestJournal::completingTwiceWritesOnce()
{
    TestDataFolder folder;
    folder.write("Order/lista.dbf", earlier);
    QVERIFY(!core::carryOut(folder.data(), plan()));
    QVERIFY(!core::carryOut(folder.data(), plan()));

    QCOMPARE(folder.read("Registret/OrderNr.dbf"), QByteArray("1042\r\n"));
    QCOMPARE(folder.read("Order/1042_data1.dbf"), plan().archiveCustomer);
    QCOMPARE(folder.read("Order/1042_data2.dbf"), plan().archiveOrderHead);
    QCOMPARE(folder.read("Order/lista.dbf"), earlier + plan().listAppend);
}

void TestJournal::theListIsMendedOrLeftAlone_data()
{
    QTest::addColumn<QByteArray>("listBefore");
    QTest::addColumn<QByteArray>("listAfter");

    const QByteArray line = plan().listAppend;
    QTest::newRow("line not yet added") << earlier << earlier + line;
    QTest::newRow("line cut half-way") << earlier + line.left(20) << earlier + line;
    QTest::newRow("line cut before its line end") << earlier + line.chopped(1) << earlier + line;
    QTest::newRow("line already whole") << earlier + line << earlier + line;
    // Lines the journal does not know of are never cut away.
    const QByteArray other = "\"1\",\"2\",\"3\",\"4\"\r\n";
    QTest::newRow("list shorter than it was") << other << other + line;
    QTest::newRow("something else after it") << earlier + other << earlier + other + line;
}

void TestJournal::theListIsMendedOrLeftAlone()
{
    QFETCH(QByteArray, listBefore);

    TestDataFolder folder;
    folder.write("Order/lista.dbf", listBefore);
    QVERIFY(!core::carryOut(folder.data(), plan()));
    QTEST(folder.read("Order/lista.dbf"), "listAfter");
}

void TestJournal::theSameOrderPrintedTwiceKeepsBothLines()
{
    TestDataFolder folder;
    const core::Order printed = order(QStringLiteral("1042"), QStringLiteral("Lind, Karin"));
    QVERIFY(!core::registerOrder(folder.data(), printed));
    const QByteArray once = folder.read("Order/lista.dbf");

    // The second printing stops just after its journal. Completing it adds its
    // own line, though the list already ends with an identical one.
    {
        const core::CrashHookForTesting stopAfterJournal(stopAt(core::CrashPoint::Journal));
        QVERIFY_THROWS_EXCEPTION(Stopped, core::registerOrder(folder.data(), printed));
    }
    QCOMPARE(folder.read("Order/lista.dbf"), once);

    QCOMPARE(core::completeUnfinishedRegistration(folder.data()).completedOrders, QStringList { "1042" });
    QCOMPARE(folder.read("Order/lista.dbf"), once + once);
    // And a journal completed twice still gives the one line.
    folder.write("registrering.journal", core::encodeJournal(plan()));
    folder.write("Order/lista.dbf", earlier);
    QCOMPARE(core::finishInterruptedRegistration(folder.data()).completedOrders, QStringList { "1042" });
    folder.write("registrering.journal", core::encodeJournal(plan()));
    QCOMPARE(core::finishInterruptedRegistration(folder.data()).completedOrders, QStringList { "1042" });
    QCOMPARE(folder.read("Order/lista.dbf"), earlier + plan().listAppend);
}

void TestJournal::aFailedStepIsCompletedByTheNextRegistration()
{
    TestDataFolder folder;
    // A folder where the order-head file belongs stops the registration there.
    QDir().mkpath(folder.path("Order/1042_data2.dbf"));
    const std::optional<datafiles::Failure> failed
        = core::registerOrder(folder.data(), order(QStringLiteral("1042"), QStringLiteral("Lind, Karin")));
    QVERIFY(failed);
    QCOMPARE(failed->file, folder.path("Order/1042_data2.dbf"));
    QVERIFY(QFile::exists(folder.data().registrationJournal()));
    QVERIFY(!folder.exists("Order/lista.dbf"));

    // Once the cause is gone, the next printing completes it before its own.
    folder.remove("Order/1042_data2.dbf");
    QVERIFY(!core::registerOrder(folder.data(), order(QStringLiteral("1043"), QStringLiteral("Berg"))));
    QVERIFY(!QFile::exists(folder.data().registrationJournal()));
    QCOMPARE(folder.read("Order/1042_data2.dbf").left(6), QByteArray("1042\r\n"));
    QCOMPARE(folder.read("Order/lista.dbf"),
             QByteArray("\"261207\",\"1042\",\"1004\",\"Lind, Karin\"\r\n\"261207\",\"1043\",\"1004\",\"Berg\"\r\n"));
    QCOMPARE(folder.read("Registret/OrderNr.dbf"), QByteArray("1043\r\n"));
}

void TestJournal::startRemovesWhatAStoppedRunLeft()
{
    TestDataFolder folder;
    const QStringList temporary { "Registret/OrderNr.dbf.TPBSIX", "Order/1042_data1.dbf.a1B2c3",
                                  "Order/1042.pdf.Zz9yY8", "registrering.journal.q1w2e3",
                                  "Registret/Produkter.dbf.före-import.k2L3m4" };
    for (const QString& file : temporary)
        folder.write(file, "half");
    folder.write("Order/notes.txt.abcdef", "the operator's own");

    // Another desk may be replacing a file: what lies beside it is its own.
    {
        datafiles::DeskPresence other(datafiles::DataDirectory(folder.programFolder(), datafiles::Desk::another()));
        QVERIFY(!other.announce());
        QVERIFY(!core::finishInterruptedRegistration(folder.data()).failure);
        for (const QString& file : temporary.mid(0, 3))
            QVERIFY2(folder.exists(file), qPrintable(file));
    }
    folder.write("registrering.journal", core::encodeJournal(plan()).left(40));
    const core::Completion recovery = core::finishInterruptedRegistration(folder.data());
    QVERIFY(!recovery.failure);
    QVERIFY(recovery.completedOrders.isEmpty());
    QVERIFY(!folder.exists("registrering.journal"));
    for (const QString& file : temporary)
        QVERIFY2(!folder.exists(file), qPrintable(file));
    QVERIFY(folder.exists("Order/notes.txt.abcdef"));
    QVERIFY(!folder.exists("Registret/OrderNr.dbf"));

    folder.write("registrering.journal", core::encodeJournal(plan()));
    QCOMPARE(core::finishInterruptedRegistration(folder.data()).completedOrders, QStringList { "1042" });
    QCOMPARE(folder.read("Registret/OrderNr.dbf"), QByteArray("1042\r\n"));
    QVERIFY(!folder.exists("registrering.journal"));
}

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"
