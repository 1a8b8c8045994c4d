// Several desks on one data folder at once, each a process of the order core:
// on a local folder and over a real network share mounted once for each desk.
// Every number is handed out once, and the order list, the archives and the
// order-number file agree; a desk killed while it holds the folder's lock
// keeps the others waiting no longer than it takes to see it is gone.

#include "order/archive.h"
#include "order/numbering.h"
#include "order/openorder.h"
#include "order/registration.h"
#include "support/datafolder.h"
#include "support/machine.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QSet>
#include <QTest>

#include <unistd.h>

namespace {

QProcess* startDesk(const QString& programFolder, const QString& tag, int orders, const QString& crashAt = {})
{
    auto* desk = new QProcess;
    QStringList arguments { programFolder, tag, QString::number(orders) };
    if (!crashAt.isEmpty())
        arguments.append(crashAt);
    desk->start(QStringLiteral(DESKWORKER), arguments);
    return desk;
}

// Waits for the desks; each must have registered all its orders.
void finish(const QList<QProcess*>& desks)
{
    for (QProcess* desk : desks) {
        QVERIFY(desk->waitForFinished(300000));
        QVERIFY2(desk->exitStatus() == QProcess::NormalExit && desk->exitCode() == 0,
                 desk->readAllStandardOutput().right(300).constData());
    }
}

// The folder the desks worked on: `orders` whole lines in the list, each
// number once, each order's archive holding the customer and the line its
// own desk gave it, and the order-number file at the highest number.
void checkTheFolderAgrees(const datafiles::DataDirectory& data, int orders, bool desksClosed = true)
{
    const core::OrderListRead list = core::readOrderList(data);
    QVERIFY(!list.failure && !list.cutShort);
    QCOMPARE(list.list.size(), orders);
    QSet<QString> numbers;
    qint64 highest = 0;
    for (const core::OrderListEntry& entry : list.list.entries()) {
        QVERIFY2(!numbers.contains(entry.orderNumber), qPrintable(entry.orderNumber));
        numbers.insert(entry.orderNumber);
        highest = std::max(highest, core::orderNumberValue(entry.orderNumber).value_or(0));
        const core::ArchivedOrder archived = core::readArchivedOrder(data, entry.orderNumber);
        QVERIFY2(archived.problems.isEmpty(), qPrintable(archived.problems.join(u' ')));
        QCOMPARE(archived.order.text(core::Order::CustomerNumber), entry.customerNumber);
        QCOMPARE(archived.order.text(core::Order::CustomerLine1), entry.customerName);
        QCOMPARE(archived.order.lines().size(), 1);
        QCOMPARE(archived.order.lines().first().text(core::OrderLine::Article), entry.customerName);
    }
    QFile recorded(data.orderNumberFile());
    QVERIFY(recorded.open(QIODevice::ReadOnly));
    QCOMPARE(recorded.readAll(), QByteArray::number(highest) + "\r\n");
    // Nothing of a desk is left once it has closed.
    if (desksClosed)
        QCOMPARE(QDir(data.deskFolder()).entryList(QDir::Files), QStringList());
}

void layOut(const QString& programFolder)
{
    QVERIFY(QDir().mkpath(programFolder + QStringLiteral("/System/Order")));
    QVERIFY(QDir().mkpath(programFolder + QStringLiteral("/System/Registret")));
    QFile number(programFolder + QStringLiteral("/System/Registret/OrderNr.dbf"));
    QVERIFY(number.open(QIODevice::WriteOnly) && number.write("1047\r\n") == 6);
}

// The share of netshare.sh, brought up for the test and taken down after it.
class Share
{
public:
    Share() { m_dir.setAutoRemove(false); }
    ~Share()
    {
        if (m_up)
            QProcess::execute(QStringLiteral("bash"),
                              { QStringLiteral("-c"), QStringLiteral("source \"$0\" && netshare_down \"$1\""),
                                QStringLiteral(NETSHARE), folder() });
        else
            QDir(m_dir.path()).removeRecursively();
    }

    bool bringUp()
    {
        for (int attempt = 0; attempt < 5 && !m_up; ++attempt) {
            const int port = 30000 + (getpid() * 13 + attempt * 97) % 20000;
            m_up = QProcess::execute(QStringLiteral("bash"),
                                     { QStringLiteral("-c"), QStringLiteral("source \"$0\" && netshare_up \"$1\" $2"),
                                       QStringLiteral(NETSHARE), folder(), QString::number(port) })
                == 0;
        }
        return m_up;
    }

    QString folder() const { return m_dir.path() + QStringLiteral("/share"); }
    // The same folder as the first and the second desk mount it.
    QString mountA() const { return folder() + QStringLiteral("/a"); }
    QString mountB() const { return folder() + QStringLiteral("/b"); }

private:
    QTemporaryDir m_dir;
    bool m_up = false;
};

} // namespace

class TestManyDesks : public QObject
{
    Q_OBJECT

private slots:
    void fourDesksAtOnce();
    void twoDesksOverAShare();
    void deskKilledWhileItHoldsTheLock();
};

void TestManyDesks::fourDesksAtOnce()
{
    TestDataFolder folder;
    layOut(folder.programFolder());
    QList<QProcess*> desks;
    for (const char* tag : { "A", "B", "C", "D" })
        desks.append(startDesk(folder.programFolder(), QLatin1String(tag), 250));
    const auto cleanup = qScopeGuard([&] { qDeleteAll(desks); });
    finish(desks);
    checkTheFolderAgrees(folder.data(), 1000);
}

void TestManyDesks::twoDesksOverAShare()
{
    // The tools the test command installs, and what only the machine can give.
    SKIP_IF_UNAVAILABLE(notInstalled(QStringLiteral("sshfs"), QStringLiteral("sshfs")));
    SKIP_IF_UNAVAILABLE(notInstalled(QStringLiteral("fusermount3"), QStringLiteral("fuse3")));
    SKIP_IF_UNAVAILABLE(notInstalled(QStringLiteral("/usr/sbin/sshd"), QStringLiteral("openssh-server")));
    SKIP_IF_UNAVAILABLE(unlessRoot(QStringLiteral("mounting a share needs root")));
    if (!QFile::exists(QStringLiteral("/dev/fuse")))
        SKIP_IF_UNAVAILABLE(std::optional(machineCannot(QStringLiteral("there is no /dev/fuse to mount a share"))));
    Share share;
    QVERIFY2(share.bringUp(), "the share did not come up");
    layOut(share.mountA() + QStringLiteral("/program"));
    QList<QProcess*> desks { startDesk(share.mountA() + QStringLiteral("/program"), QStringLiteral("A"), 100),
                             startDesk(share.mountB() + QStringLiteral("/program"), QStringLiteral("B"), 100) };
    const auto cleanup = qScopeGuard([&] { qDeleteAll(desks); });
    finish(desks);
    checkTheFolderAgrees(datafiles::DataDirectory(share.mountB() + QStringLiteral("/program")), 200);
}

void TestManyDesks::deskKilledWhileItHoldsTheLock()
{
    TestDataFolder folder;
    layOut(folder.programFolder());
    // This desk takes 1048 and fills its order in; meanwhile another takes
    // 1049 and stops part-way through registering it, after the order-number
    // file, with the lock held.
    core::OpenOrder desk(folder.data());
    QVERIFY(!desk.startNew());
    desk.setText(core::Order::CustomerNumber, QStringLiteral("T"));
    desk.setText(core::Order::CustomerLine1, QStringLiteral("T-0"));
    QVERIFY(!desk.addLines({ core::OrderLine::fromList({ "T-0", "Vara", "st", "1.00", "1", "", "1.00" }) }));
    std::unique_ptr<QProcess> killed(startDesk(folder.programFolder(), QStringLiteral("A"), 1, "ordernumber"));
    QVERIFY(killed->waitForFinished(60000));
    QCOMPARE(killed->exitStatus(), QProcess::CrashExit);
    QVERIFY(folder.exists("orderregistrering.lock"));
    QCOMPARE(folder.read("Registret/OrderNr.dbf"), QByteArray("1049\r\n"));

    // F9 here takes the lock over and finishes the other desk's order first.
    QElapsedTimer waited;
    waited.start();
    QVERIFY(!core::registerOrder(folder.data(), desk.order()));
    QVERIFY2(waited.elapsed() < 35000, qPrintable(QString::number(waited.elapsed())));
    QVERIFY(!folder.exists("orderregistrering.lock"));
    checkTheFolderAgrees(folder.data(), 2, false);
    QCOMPARE(core::readOrderList(folder.data()).list.entries().first().orderNumber, QStringLiteral("1049"));
}

QTEST_GUILESS_MAIN(TestManyDesks)
#include "tst_manydesks.moc"
