// Where a printed order has got to, without a window: each command on the
// status file as it stands, the bytes it appends, the states and the log.

#include "order/orderstatus.h"
#include "support/datafolder.h"

#include <QTest>

using core::StatusCommand;

namespace {

const QDateTime now(QDate(2026, 12, 7), QTime(14, 32, 5));

QByteArray line(const char* number, const char* state, const char* reason = "")
{
    return QByteArray("\"") + number + "\",\"" + state + "\",\"2026-12-07 14:32:05\",\"" + reason + "\"\r\n";
}

} // namespace

class TestOrderStatus : public QObject
{
    Q_OBJECT

private slots:
    void changes_data();
    void changes();
    void wording_data();
    void wording();
};

void TestOrderStatus::changes_data()
{
    QTest::addColumn<QByteArray>("before"); // the status file; none when empty
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QStringList>("states"); // of the numbers, read back from the file
    QTest::addColumn<QStringList>("voided"); // refused
    QTest::addColumn<QStringList>("log"); // of the first number: state and reason

    const QByteArray delivered = line("1042", "Levererad");
    const QByteArray invoiced = line("1042", "Fakturerad");
    const QByteArray voided = line("1043", "Makulerad", "Fel kund");
    const int deliver = int(StatusCommand::Deliver);
    const int invoice = int(StatusCommand::Invoice);
    const int undo = int(StatusCommand::Undo);
    const QStringList one { "1042" };

    QTest::newRow("registered to delivered")
        << QByteArray() << one << deliver << "" << delivered << QStringList { "Levererad" } << QStringList()
        << QStringList { "Levererad " };
    QTest::newRow("delivered to invoiced")
        << delivered << one << invoice << "" << delivered + invoiced << QStringList { "Fakturerad" } << QStringList()
        << QStringList { "Levererad ", "Fakturerad " };
    QTest::newRow("invoiced at once") << QByteArray() << one << invoice << "" << invoiced
                                      << QStringList { "Fakturerad" } << QStringList() << QStringList { "Fakturerad " };
    QTest::newRow("nothing more to deliver")
        << invoiced << one << deliver << "" << invoiced << QStringList { "Fakturerad" } << QStringList()
        << QStringList { "Fakturerad " };
    QTest::newRow("voided with its reason, in Windows-1252")
        << delivered << one << int(StatusCommand::Void) << " Kunden \"ångrade\" sig "
        << delivered + line("1042", "Makulerad", "Kunden \x94\xE5ngrade\x94 sig") << QStringList { "Makulerad" }
        << QStringList() << QStringList { "Levererad ", "Makulerad Kunden ”ångrade” sig" };
    QTest::newRow("a void without a reason is refused")
        << delivered << one << int(StatusCommand::Void) << "  " << delivered << QStringList { "Levererad" }
        << QStringList() << QStringList { "Levererad " };
    QTest::newRow("undo invoiced") << delivered + invoiced << one << undo << "" << delivered + invoiced + delivered
                                   << QStringList { "Levererad" } << QStringList()
                                   << QStringList { "Levererad ", "Fakturerad ", "Levererad " };
    QTest::newRow("undo an invoice made at once")
        << invoiced << one << undo << "" << invoiced + line("1042", "Registrerad") << QStringList { "Registrerad" }
        << QStringList() << QStringList { "Fakturerad ", "Registrerad " };
    QTest::newRow("undo what an undo left")
        << delivered + invoiced + delivered << one << undo << ""
        << delivered + invoiced + delivered + line("1042", "Registrerad") << QStringList { "Registrerad" }
        << QStringList() << QStringList { "Levererad ", "Fakturerad ", "Levererad ", "Registrerad " };
    QTest::newRow("undo delivered") << delivered << one << undo << "" << delivered + line("1042", "Registrerad")
                                    << QStringList { "Registrerad" } << QStringList()
                                    << QStringList { "Levererad ", "Registrerad " };
    QTest::newRow("undo a void back to the state before it")
        << delivered + voided + line("1042", "Makulerad", "Dubblett") << QStringList { "1042", "1043" } << undo << ""
        << delivered + voided + line("1042", "Makulerad", "Dubblett") + delivered + line("1043", "Registrerad")
        << QStringList { "Levererad", "Registrerad" } << QStringList()
        << QStringList { "Levererad ", "Makulerad Dubblett", "Levererad " };
    QTest::newRow("several at once, a voided one refused, one chosen twice")
        << voided << QStringList { "1042", "1043", "1044", "1042" } << deliver << ""
        << voided + delivered + line("1044", "Levererad")
        << QStringList { "Levererad", "Makulerad", "Levererad", "Levererad" } << QStringList { "1043" }
        << QStringList { "Levererad " };
    QTest::newRow("042 is not 42") << line("42", "Levererad") << QStringList { "042" } << deliver << ""
                                   << line("42", "Levererad") + line("042", "Levererad") << QStringList { "Levererad" }
                                   << QStringList() << QStringList { "Levererad " };
    // A power cut during an append: the whole lines before the cut one count,
    // and the cut bytes are kept aside before the next change goes in.
    QTest::newRow("a cut last line") << delivered + "\"1043\",\"Makul" << one << invoice << "" << delivered + invoiced
                                     << QStringList { "Fakturerad" } << QStringList()
                                     << QStringList { "Levererad ", "Fakturerad " };
    // A hand-edited line of more or fewer fields is passed over and named; the
    // lines after it read as they stand, and a cut falls only between lines.
    const QByteArray fiveFields = "\"1043\",\"Levererad\",\"2026-12-07 14:32:05\",\"\",\"Handskrivet\"\r\n";
    const QByteArray threeFields = "\"1043\",\"Levererad\",\"Handskrivet\"\r\n";
    QTest::newRow("a line of five fields")
        << line("1044", "Levererad") + fiveFields + delivered << one << invoice << ""
        << line("1044", "Levererad") + fiveFields + delivered + invoiced << QStringList { "Fakturerad" }
        << QStringList() << QStringList { "Levererad ", "Fakturerad " };
    QTest::newRow("a line of three fields")
        << line("1044", "Levererad") + threeFields + delivered << one << undo << ""
        << line("1044", "Levererad") + threeFields + delivered + line("1042", "Registrerad")
        << QStringList { "Registrerad" } << QStringList() << QStringList { "Levererad ", "Registrerad " };
    QTest::newRow("a cut last line after a line of five fields")
        << line("1044", "Levererad") + fiveFields + delivered + "\"1043\",\"Makul" << one << invoice << ""
        << line("1044", "Levererad") + fiveFields + delivered + invoiced << QStringList { "Fakturerad" }
        << QStringList() << QStringList { "Levererad ", "Fakturerad " };
}

void TestOrderStatus::changes()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, numbers);
    QFETCH(int, command);
    QFETCH(QString, reason);
    QFETCH(QByteArray, after);
    QFETCH(QStringList, states);
    TestDataFolder folder;
    if (!before.isEmpty())
        folder.write("Order/status.dbf", before);

    core::StatusLogRead read = core::readStatusLog(folder.data());
    QVERIFY(!read.failure);
    const bool cut = before.endsWith("Makul");
    QCOMPARE(read.cutShort.has_value(), cut);
    QCOMPARE(read.skipped.has_value(), before.contains("Handskrivet"));
    if (read.skipped)
        QVERIFY2(read.skipped->reason.startsWith("rad 2 har fel antal fält"), qPrintable(read.skipped->reason));
    const core::StatusUpdate update
        = core::changeStatus(folder.data(), read.log, numbers, StatusCommand(command), now, reason);

    QCOMPARE(folder.read("Order/status.dbf"), after);
    const bool refused = command == int(StatusCommand::Void) && reason.trimmed().isEmpty();
    QCOMPARE(update.failure.has_value(), refused);
    if (refused)
        QCOMPARE(update.failure->reason, QStringLiteral("en makulering måste ha en orsak"));
    QTEST(update.voided, "voided");
    QCOMPARE(update.setAside.has_value(), cut);
    if (cut) {
        QCOMPARE(folder.read("Order/status.dbf.avkortat"), QByteArray("\"1043\",\"Makul\r\n"));
        // The change is saved; what is told is the cut record.
        QCOMPARE(update.setAside->operation, QStringLiteral("läsa orderstatus till slut"));
    }

    // What the log took in is what the file now holds.
    const core::StatusLog reread = core::readStatusLog(folder.data()).log;
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        QCOMPARE(core::stateName(read.log.stateOf(numbers.at(i))), states.at(i));
        QCOMPARE(reread.changesOf(numbers.at(i)), read.log.changesOf(numbers.at(i)));
    }
    QStringList log;
    for (const core::StatusChange& change : read.log.changesOf(numbers.first())) {
        QCOMPARE(change.when, QStringLiteral("2026-12-07 14:32:05"));
        log.append(core::stateName(change.state) + QLatin1Char(' ') + change.reason);
    }
    QTEST(log, "log");
}

void TestOrderStatus::wording_data()
{
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("named"); // in the question before a void
    QTest::addColumn<QString>("voided"); // what is told of them, found voided

    QTest::newRow("one") << QStringList { "1043" } << int(StatusCommand::Deliver) << "order 1043"
                         << "Order 1043 är makulerad och markeras inte som levererad.";
    QTest::newRow("two") << QStringList { "1043", "1044" } << int(StatusCommand::Invoice) << "2 order (1043, 1044)"
                         << "Order 1043, 1044 är makulerade och markeras inte som fakturerade.";
}

void TestOrderStatus::wording()
{
    QFETCH(QStringList, numbers);
    QFETCH(int, command);
    QTEST(core::ordersNamed(numbers), "named");
    QTEST(core::voidedLeftAsTheyAre(numbers, StatusCommand(command)), "voided");
}

QTEST_GUILESS_MAIN(TestOrderStatus)
#include "tst_orderstatus.moc"
