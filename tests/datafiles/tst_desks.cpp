// The folder's lock and the desks' presence: a lock is held by one desk at a
// time, taken over only from a desk that is gone, and a desk that waits is
// told who holds it; a desk's presence names it to the others.

#include "datafiles/datalock.h"
#include "datafiles/desks.h"
#include "support/datafolder.h"

#include <QElapsedTimer>
#include <QTest>

#include <unistd.h>

using datafiles::DataLock;
using datafiles::DeskRecord;

namespace {

const QString otherMachine = QStringLiteral("kassa2");

// A desk record of the kind the row names: this process's other desk, a desk
// of this machine whose process is gone (its number is this process's, its
// start another), or a desk of another machine.
DeskRecord deskOf(const QString& kind, qint64 secondsAgo)
{
    const QDateTime since = QDateTime::currentDateTimeUtc().addSecs(-secondsAgo);
    if (kind == QLatin1String("running"))
        return datafiles::Desk::another()->record(since);
    const datafiles::DeskName& here = datafiles::Desk::ofProcess()->name();
    if (kind == QLatin1String("gone"))
        return { QStringLiteral("%1-%2-%3-0").arg(here.host).arg(here.process).arg(here.processStart + 1), here.host,
                 QStringLiteral("anna"), here.process, since };
    return { otherMachine + QStringLiteral("-4711-99-0"), otherMachine, QStringLiteral("bertil"), 4711, since };
}

// Waits for the lock as a desk whose operator gives up at the first question,
// and tells whom the question named.
struct GivingUp
{
    std::shared_ptr<datafiles::Desk> desk = datafiles::Desk::another();
    QStringList asked;

    GivingUp()
    {
        desk->setLockWait([this](const DeskRecord& holder, const std::function<bool()>&) {
            asked.append(holder.description());
            return false;
        });
    }
};

} // namespace

class TestDesks : public QObject
{
    Q_OBJECT

private slots:
    void lockLeftByADeskThatIsGoneIsTakenOver_data();
    void lockLeftByADeskThatIsGoneIsTakenOver();
    void aWaitingDeskTakesTheLockOnceItIsLetGo();
    void aLinkInThePlaceOfTheLockIsRefused();
    void presenceNamesTheDesksThatAreThere();
};

void TestDesks::lockLeftByADeskThatIsGoneIsTakenOver_data()
{
    QTest::addColumn<QString>("holder");
    QTest::addColumn<int>("lockAge"); // seconds
    QTest::addColumn<int>("presenceAge"); // seconds; -1 for no presence file
    QTest::addColumn<bool>("takenOver");

    QTest::newRow("this machine, process running") << "running" << 600 << -1 << false;
    QTest::newRow("this machine, process gone") << "gone" << 0 << 0 << true;
    QTest::newRow("another machine, presence refreshed") << "away" << 31 << 60 << false;
    QTest::newRow("another machine, lock new") << "away" << 20 << 91 << false;
    QTest::newRow("another machine, presence old") << "away" << 31 << 91 << true;
    QTest::newRow("another machine, no presence") << "away" << 31 << -1 << true;
    QTest::newRow("being written") << "" << 5 << -1 << false;
    QTest::newRow("never written") << "" << 31 << -1 << true;
}

void TestDesks::lockLeftByADeskThatIsGoneIsTakenOver()
{
    QFETCH(QString, holder);
    QFETCH(int, lockAge);
    QFETCH(int, presenceAge);
    QFETCH(bool, takenOver);

    TestDataFolder folder;
    const DeskRecord left = deskOf(holder, lockAge);
    const QByteArray lockBytes = holder.isEmpty() ? QByteArray() : left.bytes();
    folder.write("orderregistrering.lock", lockBytes);
    datafiles::touchFile(folder.path("orderregistrering.lock"), QDateTime::currentDateTimeUtc().addSecs(-lockAge));
    if (presenceAge >= 0) {
        folder.write("Skrivbord/" + left.id + ".skrivbord", left.bytes());
        datafiles::touchFile(folder.path("Skrivbord/" + left.id + ".skrivbord"),
                             QDateTime::currentDateTimeUtc().addSecs(-presenceAge));
    }

    GivingUp waiting;
    QElapsedTimer waited;
    waited.start();
    {
        const DataLock lock = DataLock::take(datafiles::DataDirectory(folder.programFolder(), waiting.desk),
                                             QStringLiteral("registrera ordern"));
        QCOMPARE(!lock.failure(), takenOver);
        if (takenOver) {
            QVERIFY(waited.elapsed() < 1000);
            QCOMPARE(datafiles::lockHolder(folder.data())->id, waiting.desk->id());
            return;
        }
        // Asked after 2 s, naming the desk that holds it; giving up is a
        // failure of its own kind, and the lock stays that desk's.
        QVERIFY(waited.elapsed() >= 2000);
        QCOMPARE(lock.failure()->kind, datafiles::FailureKind::Cancelled);
        QCOMPARE(waiting.asked.size(), 1);
        if (!holder.isEmpty())
            QCOMPARE(waiting.asked.first(), left.description());
    }
    QCOMPARE(folder.read("orderregistrering.lock"), lockBytes);
}

void TestDesks::aWaitingDeskTakesTheLockOnceItIsLetGo()
{
    TestDataFolder folder;
    const datafiles::DataDirectory first(folder.programFolder(), datafiles::Desk::another());
    const datafiles::DataDirectory second(folder.programFolder(), datafiles::Desk::another());
    // A desk whose lock another took over (it was taken for gone) leaves the
    // other's lock alone when it lets go.
    std::optional<DataLock> lost(DataLock::take(first, QStringLiteral("spara kunden")));
    const QByteArray taken = second.desk().record().bytes();
    folder.write("orderregistrering.lock", taken);
    lost.reset();
    QCOMPARE(folder.read("orderregistrering.lock"), taken);
    folder.remove("orderregistrering.lock");

    std::optional<DataLock> held(DataLock::take(first, QStringLiteral("spara kunden")));
    QVERIFY(!held->failure());
    // A change inside another goes on under the same lock.
    std::optional<DataLock> inner(DataLock::take(first, QStringLiteral("spara kunden")));
    QVERIFY(!inner->failure());
    inner.reset();
    QVERIFY(folder.exists("orderregistrering.lock"));

    bool freedWhenAsked = true;
    second.desk().setLockWait([&](const DeskRecord& holder, const std::function<bool()>& freed) {
        freedWhenAsked = freed();
        held.reset();
        return holder.id == first.desk().id() && freed();
    });
    const DataLock lock = DataLock::take(second, QStringLiteral("registrera ordern"));
    QVERIFY(!lock.failure());
    QVERIFY(!freedWhenAsked);
    QCOMPARE(datafiles::lockHolder(folder.data())->id, second.desk().id());
}

void TestDesks::aLinkInThePlaceOfTheLockIsRefused()
{
    TestDataFolder folder;
    QVERIFY(QFile::link(folder.path("Registret"), folder.path("orderregistrering.lock")));
    const DataLock lock = DataLock::take(folder.data(), QStringLiteral("registrera ordern"));
    QVERIFY(lock.failure());
    QCOMPARE(lock.failure()->kind, datafiles::FailureKind::LinkRefused);
}

void TestDesks::presenceNamesTheDesksThatAreThere()
{
    TestDataFolder folder;
    const datafiles::DataDirectory other(folder.programFolder(), datafiles::Desk::another());
    const DeskRecord gone = deskOf(QStringLiteral("gone"), 0);
    folder.write("Skrivbord/" + gone.id + ".skrivbord", gone.bytes());
    const DeskRecord away = deskOf(QStringLiteral("away"), 0);
    folder.write("Skrivbord/" + away.id + ".skrivbord", away.bytes());
    datafiles::touchFile(folder.path("Skrivbord/" + away.id + ".skrivbord"),
                         QDateTime::currentDateTimeUtc().addSecs(-91));
    {
        datafiles::DeskPresence present(other);
        QVERIFY(!present.announce());
        const QList<DeskRecord> desks = datafiles::otherDesks(folder.data());
        QCOMPARE(desks.size(), 1);
        QCOMPARE(desks.first().id, other.desk().id());
        QCOMPARE(desks.first().account, other.desk().record().account);
        QVERIFY(datafiles::otherDesks(other).isEmpty());
    }
    QVERIFY(datafiles::otherDesks(folder.data()).isEmpty());
    QVERIFY(!folder.exists("Skrivbord/" + other.desk().id() + ".skrivbord"));
}

QTEST_GUILESS_MAIN(TestDesks)
#include "tst_desks.moc"
