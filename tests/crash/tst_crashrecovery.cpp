// The program ended abruptly at every step of printing and registering an
// order, then started again on the same folder: the order is either wholly
// registered or not at all, nothing temporary is left, and "Ny" hands out a
// number no archive file uses.

#include "office/backup.h"
#include "support/machine.h"
#include "support/testsupport.h"

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray earlierList = "\"261201\",\"1040\",\"1001\",\"Bergstr\xF6m Bygg AB\"\r\n"
                               "\"261203\",\"1041\",\"1004\",\"Lind, Karin\"\r\n";
const QByteArray listLine = "\"261207\",\"1042\",\"1004\",\"Lind, Karin\"\r\n";
const QByteArray archiveCustomer = "1004\r\nLind, Karin\r\nBj\xF6rkv\xE4gen 22\r\n443 30  Lerum\r\n\r\n";
const QByteArray archiveHead = "1042\r\n261207\r\n261207\r\n0\r\n\r\n0\r\n0\r\n0\r\n";

struct Run
{
    bool killed = false;
    QString output;
};

// The sample data with two printed orders and 1041 as the last number.
class DeskFolder : public TestDataFolder
{
public:
    DeskFolder()
    {
        copySample();
        write(QStringLiteral("Order/lista.dbf"), earlierList);
        write(QStringLiteral("Order/1040_data2.dbf"), "1040\r\n261201\r\n261201\r\n0\r\n\r\n0\r\n0\r\n0\r\n");
        write(QStringLiteral("Order/1041_data2.dbf"), "1041\r\n261203\r\n261203\r\n0\r\n\r\n0\r\n0\r\n0\r\n");
        write(QStringLiteral("Registret/OrderNr.dbf"), "1041\r\n");
    }

    // `as` runs the desk through a command that changes the account, e.g. setpriv.
    Run run(const QStringList& arguments, const QStringList& as = {}, const QString& locale = {}) const
    {
        QProcess desk;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (!locale.isEmpty()) {
            environment.remove(QStringLiteral("LANGUAGE"));
            environment.insert(QStringLiteral("LC_ALL"), locale);
            environment.insert(QStringLiteral("LANG"), locale);
        }
        desk.setProcessEnvironment(environment);
        const QStringList command = as + QStringList { QStringLiteral(CRASHDESK), programFolder() } + arguments;
        desk.start(command.first(), command.mid(1));
        desk.waitForFinished(60000);
        return { desk.exitStatus() == QProcess::CrashExit, QString::fromUtf8(desk.readAllStandardOutput()) };
    }

    Run print(const QString& crashPoint = {}) const
    {
        QStringList arguments { QStringLiteral("print") };
        if (!crashPoint.isEmpty())
            arguments.append(crashPoint);
        return run(arguments);
    }

    Run start() const { return run({ QStringLiteral("start") }); }

    // Files a stopped run may leave: the journal and temporary copies.
    QStringList leftovers() const
    {
        static const QRegularExpression temporary(QStringLiteral(R"(\.[A-Za-z0-9]{6}$|\.journal$)"));
        QStringList found;
        QDirIterator it(path(QString()), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            if (temporary.match(file).hasMatch())
                found.append(file);
        }
        return found;
    }
};

// The folder as the package lays it out: the program's folder root's, System
// the group's and set-group-id, nothing for others.
void layOutAsInstalled(const DeskFolder& folder, const QString& group, int folderMode)
{
    QCOMPARE(QProcess::execute(QStringLiteral("sh"),
                               { "-c",
                                 "chown root:root \"$1\" && chmod 755 \"$1\" && chown -R root:\"$2\" \"$1/System\" && "
                                 "find \"$1/System\" -type d -exec chmod \"$3\" {} + && "
                                 "find \"$1/System\" -type f -exec chmod 0660 {} +",
                                 "sh", folder.programFolder(), group, QString::number(folderMode, 8) }),
             0);
}

// Every file and folder under System is the group's to go on with.
void checkSharedWithGroup(const QString& system)
{
    struct stat shared;
    QVERIFY(::stat(QFile::encodeName(system).constData(), &shared) == 0);
    QDirIterator it(system, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        struct stat status;
        QVERIFY(::lstat(QFile::encodeName(it.next()).constData(), &status) == 0);
        QVERIFY2(status.st_gid == shared.st_gid && (status.st_mode & 0067) == 060,
                 qPrintable(it.filePath() + QStringLiteral(" %1").arg(status.st_mode, 0, 8)));
    }
}

// Either the whole registration of order 1042 is there or none of it.
void checkWholeOrNothing(const DeskFolder& folder, bool registered)
{
    QCOMPARE(folder.read("Registret/OrderNr.dbf"), registered ? QByteArray("1042\r\n") : QByteArray("1041\r\n"));
    if (registered) {
        QCOMPARE(folder.read("Order/1042_data1.dbf"), archiveCustomer);
        QCOMPARE(folder.read("Order/1042_data2.dbf"), archiveHead);
        QCOMPARE(folder.read("Order/lista.dbf"), earlierList + listLine);
    } else {
        QVERIFY(!folder.exists("Order/1042_data1.dbf"));
        QVERIFY(!folder.exists("Order/1042_data2.dbf"));
        QCOMPARE(folder.read("Order/lista.dbf"), earlierList);
    }
    QVERIFY2(folder.leftovers().isEmpty(), qPrintable(folder.leftovers().join(u' ')));
}

QString nextNumber(const Run& start)
{
    static const QRegularExpression next(QStringLiteral("^next: (.*)$"), QRegularExpression::MultilineOption);
    return next.match(start.output).captured(1);
}

const QString completedMessage = QStringLiteral("Programmet avslutades medan order 1042 skrevs ut");

// Why strace cannot trace the desk here, if it cannot.
std::optional<Unavailable> straceUnavailable()
{
    if (std::optional<Unavailable> missing = notInstalled(QStringLiteral("strace"), QStringLiteral("strace")))
        return missing;
    if (QProcess::execute(QStringLiteral("strace"), { "-o", "/dev/null", "true" }) != 0)
        return machineCannot(QStringLiteral("strace cannot trace a program here (no ptrace)"));
    return std::nullopt;
}

// The calls that sync, rename or remove files in the data folder while the
// desk runs the given way, as strace saw them; empty when the desk failed.
QStringList syncCalls(const DeskFolder& folder, const QStringList& arguments)
{
    const QString log = folder.programFolder() + QStringLiteral("/strace.log");
    QProcess tracing;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    tracing.setProcessEnvironment(environment);
    tracing.start(QStringLiteral("strace"),
                  QStringList { "-f", "-y", "-o", log, "-e",
                                "trace=fsync,fdatasync,rename,renameat,renameat2,linkat,unlink",
                                QStringLiteral(CRASHDESK), folder.programFolder() }
                      + arguments);
    if (!tracing.waitForFinished(60000) || tracing.exitCode() != 0)
        return {};
    QFile file(log);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList calls;
    const QString system = folder.path(QString()).chopped(1);
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.contains(system) && !line.contains(QLatin1String(".lock")))
            calls.append(line.section(u' ', 1).simplified());
    }
    return calls;
}

// Where a call matches the pattern; -1 when no call from `from` on does.
qsizetype findCall(const QStringList& calls, const QString& pattern, qsizetype from = 0)
{
    const QRegularExpression wanted(pattern);
    for (qsizetype i = from; i < calls.size(); ++i) {
        if (wanted.match(calls.at(i)).hasMatch())
            return i;
    }
    return -1;
}

} // namespace

class TestCrashRecovery : public QObject
{
    Q_OBJECT

private slots:
    void killedAtEveryStep_data();
    void killedAtEveryStep();
    void syncsInTheOrderTheDesignNeeds();
    void anotherOperatorsAccount_data();
    void anotherOperatorsAccount();
    void statusChangeSynced();
    void anotherOperatorRestoresInTheInstalledLayout();
    void backupAndRestoreWhateverTheLocale_data();
    void backupAndRestoreWhateverTheLocale();
    void restoreKilledAtEveryStep_data();
    void restoreKilledAtEveryStep();
};

void TestCrashRecovery::killedAtEveryStep_data()
{
    QTest::addColumn<QString>("crashPoint");
    QTest::addColumn<bool>("registered");
    QTest::addColumn<bool>("told");

    QTest::newRow("not killed") << QString() << true << false;
    QTest::newRow("before anything") << "print" << false << false;
    QTest::newRow("after the PDF copy") << "pdf-copy" << false << false;
    // From the journal on, the paper may be out: the order is registered.
    QTest::newRow("after the journal") << "journal" << true << true;
    QTest::newRow("after the paper") << "paper" << true << true;
    QTest::newRow("after the order-number file") << "ordernumber" << true << true;
    QTest::newRow("after the archive customer file") << "archive-customer" << true << true;
    QTest::newRow("after the archive order-head file") << "archive-head" << true << true;
    QTest::newRow("after the order list") << "order-list" << true << true;
    QTest::newRow("after the journal is removed") << "journal-removed" << true << false;
}

void TestCrashRecovery::killedAtEveryStep()
{
    QFETCH(QString, crashPoint);
    QFETCH(bool, registered);
    QFETCH(bool, told);

    DeskFolder folder;
    const Run printed = folder.print(crashPoint);
    QCOMPARE(printed.killed, !crashPoint.isEmpty());
    // The copy is kept before the paper goes out, so paper always has its copy.
    QCOMPARE(folder.exists("Order/1042.pdf"), crashPoint != "print");

    const Run started = folder.start();
    QVERIFY(!started.killed);
    QCOMPARE(started.output.contains(completedMessage), told);
    QCOMPARE(started.output.count(QStringLiteral("box: ")), told ? 1 : 0);
    checkWholeOrNothing(folder, registered);
    // Paper that may have gone out belongs to a registered order; an order that
    // is not registered can be printed again under the same number.
    QCOMPARE(nextNumber(started), registered ? QStringLiteral("1043") : QStringLiteral("1042"));
    QVERIFY(!folder.exists("Order/" + nextNumber(started) + "_data1.dbf"));
}

void TestCrashRecovery::syncsInTheOrderTheDesignNeeds()
{
    SKIP_IF_UNAVAILABLE(straceUnavailable());
    DeskFolder folder;
    const QStringList calls = syncCalls(folder, { "print" });
    QVERIFY(!calls.isEmpty());
    const auto find = [&calls](const QString& pattern, qsizetype from = 0) {
        return findCall(calls, pattern, from);
    };
    const auto escaped = [](const QString& path) {
        return QRegularExpression::escape(path);
    };
    // Each replaced file: its bytes synced, then put in place, then its folder
    // synced, so that the new name survives a power cut.
    const QString journal = escaped(folder.path("Skrivbord")) + QStringLiteral("/[^\"/]+\\.journal");
    const QList<std::pair<QString, QString>> replaced {
        { escaped(folder.path("Order/1042.pdf")), escaped(folder.path("Order")) },
        { journal, escaped(folder.path("Skrivbord")) },
        { escaped(folder.path("Registret/OrderNr.dbf")), escaped(folder.path("Registret")) },
        { escaped(folder.path("Order/1042_data1.dbf")), escaped(folder.path("Order")) },
        { escaped(folder.path("Order/1042_data2.dbf")), escaped(folder.path("Order")) },
    };
    qsizetype previous = -1;
    for (const auto& [target, parent] : replaced) {
        const QString& name = target;
        const qsizetype placed = find(QStringLiteral("^(linkat|rename).*\"%1\"").arg(target), previous + 1);
        QVERIFY2(placed > previous, qPrintable(name + u'\n' + calls.join(u'\n')));
        const qsizetype dataSynced = find(QStringLiteral("^f(data)?sync\\(\\d+<%1/").arg(parent), previous + 1);
        QVERIFY2(dataSynced >= 0 && dataSynced < placed, qPrintable(name));
        const qsizetype folderSynced = find(QStringLiteral("^fsync\\(\\d+<%1>\\)").arg(parent), placed);
        QVERIFY2(folderSynced > placed, qPrintable(name));
        previous = folderSynced;
    }
    // The list line synced before the journal goes, and the journal's removal
    // made durable in its turn.
    const qsizetype listSynced
        = find(QStringLiteral("^f(data)?sync\\(\\d+<%1>").arg(escaped(folder.path("Order/lista.dbf"))), previous + 1);
    QVERIFY(listSynced > previous);
    const qsizetype removed = find(QStringLiteral("^unlink.*%1").arg(journal), listSynced);
    QVERIFY(removed > listSynced);
    QVERIFY(find(QStringLiteral("^fsync\\(\\d+<%1>\\)").arg(escaped(folder.path("Skrivbord"))), removed) > removed);
}

void TestCrashRecovery::anotherOperatorsAccount_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<QString>("told"); // how the one box says to be let in; empty: the desk works
    // The account "nobody", whose only group is "nogroup", starts the desk.
    QTest::newRow("outside the folder's group") << "users" << 02770 << "adduser nobody users";
    QTest::newRow("in the folder's group") << "nogroup" << 02770 << "";
    QTest::newRow("in a group that may only read") << "nogroup" << 02750 << "rätt att läsa och skriva";
}

void TestCrashRecovery::anotherOperatorsAccount()
{
    QFETCH(QString, group);
    QFETCH(int, folderMode);
    QFETCH(QString, told);
    SKIP_IF_UNAVAILABLE(unlessRoot(QStringLiteral("starting the desk as another account needs root")));
    DeskFolder folder;
    layOutAsInstalled(folder, group, folderMode);
    const QString system = folder.path(QString()).chopped(1);

    const Run run = folder.run({ QStringLiteral("print") },
                               { "setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--" });
    if (!told.isEmpty()) {
        // One box, which says how to be let in, and no order window.
        QCOMPARE(run.output.count(QStringLiteral("box: ")), 1);
        QVERIFY2(run.output.contains(system) && run.output.contains(told)
                     && !run.output.contains(QStringLiteral("paper:"))
                     && run.output.count(QStringLiteral("adduser")) == told.count(QStringLiteral("adduser")),
                 qPrintable(run.output));
        return;
    }
    // A second operator carries the whole order through, and every file the
    // desk made or replaced is the group's to go on with.
    QVERIFY2(run.output.contains(QStringLiteral("paper: printed")), qPrintable(run.output));
    checkWholeOrNothing(folder, true);
    checkSharedWithGroup(system);
}

// An operator restores a backup where the program's folder belongs to root,
// and the next operator's F9 registers on the restored data.
void TestCrashRecovery::anotherOperatorRestoresInTheInstalledLayout()
{
    SKIP_IF_UNAVAILABLE(unlessRoot(QStringLiteral("starting the desk as another account needs root")));
    DeskFolder folder;
    QTemporaryDir backups;
    const QString zip
        = office::backUp(folder.data(), backups.path(), QDateTime(QDate(2026, 12, 7), QTime(14, 30))).zipFile;
    const QFile::Permissions readable = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther;
    QVERIFY(!zip.isEmpty() && QFile::setPermissions(backups.path(), readable | QFile::ExeOwner | QFile::ExeOther)
            && QFile::setPermissions(zip, readable));
    folder.write("Registret/OrderNr.dbf", "1050\r\n");
    layOutAsInstalled(folder, QStringLiteral("nogroup"), 02770);
    const QStringList operatorAccount { "setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--" };

    const Run restore = folder.run({ QStringLiteral("restore"), zip }, operatorAccount);
    QVERIFY2(restore.output.contains(QStringLiteral("restored: yes")), qPrintable(restore.output));
    checkSharedWithGroup(folder.path(QString()).chopped(1));
    const Run print = folder.run({ QStringLiteral("print") }, operatorAccount);
    QVERIFY2(print.output.contains(QStringLiteral("paper: printed")), qPrintable(print.output));
    checkWholeOrNothing(folder, true);
}

// A change of an order's state is appended to the status file, synced, and its
// new name made durable, before the history shows it.
void TestCrashRecovery::statusChangeSynced()
{
    SKIP_IF_UNAVAILABLE(straceUnavailable());
    DeskFolder folder;
    const QStringList calls = syncCalls(folder, { "deliver" });
    QVERIFY(folder.read("Order/status.dbf").startsWith("\"1041\",\"Levererad\",\""));
    const QString status = QRegularExpression::escape(folder.path("Order/status.dbf"));
    const qsizetype synced = findCall(calls, QStringLiteral("^f(data)?sync\\(\\d+<%1>").arg(status));
    QVERIFY2(synced >= 0, qPrintable(calls.join(u'\n')));
    const QString order = QRegularExpression::escape(folder.path("Order"));
    QVERIFY(findCall(calls, QStringLiteral("^fsync\\(\\d+<%1>\\)").arg(order), synced) > synced);
}

namespace {

// Every data file of a folder with its bytes: the lock, the desks' folder and
// a restore's folders left out.
QMap<QString, QByteArray> filesOf(const QString& path)
{
    const QString folder = QDir::cleanPath(path);
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        const QString name = file.fileName().sliced(folder.size() + 1);
        if (!datafiles::DataDirectory::isWorkingPath(name) && file.open(QIODevice::ReadOnly))
            files.insert(name, file.readAll());
    }
    return files;
}

} // namespace

void TestCrashRecovery::backupAndRestoreWhateverTheLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("C") << "C";
    QTest::newRow("a locale that is not installed") << "sv_FI.ISO-8859-15";
}

// File names with letters beyond ASCII are saved and put back under a locale
// that cannot spell them.
void TestCrashRecovery::backupAndRestoreWhateverTheLocale()
{
    QFETCH(QString, locale);
    DeskFolder folder;
    folder.write("Order/1041_följesedel.pdf", "%PDF-1.4 följesedel");
    QVERIFY(folder.exists("Registret/Fraktsätt.dbf"));
    const QMap<QString, QByteArray> before = filesOf(folder.path(QString()));
    QTemporaryDir backups;

    const Run backup = folder.run({ QStringLiteral("backup"), backups.path() }, {}, locale);
    const QString zip = backups.filePath("orderregistrering-2026-12-07-1430.zip");
    QVERIFY2(backup.output.contains(QStringLiteral("backup: ") + zip), qPrintable(backup.output));
    folder.remove("Order/1041_följesedel.pdf");
    const Run restore = folder.run({ QStringLiteral("restore"), zip }, {}, locale);
    QVERIFY2(restore.output.contains(QStringLiteral("restored: yes")), qPrintable(restore.output));
    QCOMPARE(filesOf(folder.path(QString())), before);
}

void TestCrashRecovery::restoreKilledAtEveryStep_data()
{
    QTest::addColumn<QString>("crashPoint");
    QTest::addColumn<bool>("restored");
    QTest::addColumn<QString>("told");

    const QString finished = QStringLiteral("Återställningen är nu klar");
    const QString undone = QStringLiteral("Ingenting återställdes");
    QTest::newRow("not killed") << QString() << true << QString();
    QTest::newRow("after the first file unpacked") << "restore-begun" << false << undone;
    QTest::newRow("after all is unpacked") << "restore-unpacked" << false << undone;
    // From the journal on, the restore is carried through.
    QTest::newRow("after the journal") << "restore-journal" << true << finished;
    QTest::newRow("while System's files are moved aside") << "restore-moving-aside" << true << finished;
    QTest::newRow("after System's files are set aside") << "restore-set-aside" << true << finished;
    QTest::newRow("while the restored files are moved in") << "restore-moving-in" << true << finished;
    QTest::newRow("after the restored files are in place") << "restore-in-place" << true << finished;
    QTest::newRow("after the journal is removed") << "restore-done" << true << QString();
}

void TestCrashRecovery::restoreKilledAtEveryStep()
{
    QFETCH(QString, crashPoint);
    QFETCH(bool, restored);
    QFETCH(QString, told);

    DeskFolder folder;
    QTemporaryDir backups;
    const QString archive
        = office::backUp(folder.data(), backups.path(), QDateTime(QDate(2026, 12, 7), QTime(14, 30))).zipFile;
    const QMap<QString, QByteArray> backedUp = filesOf(folder.path(QString()));
    // The work of the afternoon, which the restore replaces.
    folder.write("Registret/OrderNr.dbf", "1050\r\n");
    folder.write("Order/1050.basket.dbf", "\"A-1\",\"Vara\",\"st\",\"1.00\",\"1\",\"\",\"1.00\"\r\n");
    const QMap<QString, QByteArray> afternoon = filesOf(folder.path(QString()));

    QStringList arguments { QStringLiteral("restore"), archive };
    if (!crashPoint.isEmpty())
        arguments.append(crashPoint);
    QCOMPARE(folder.run(arguments).killed, !crashPoint.isEmpty());
    const Run started = folder.start();
    QVERIFY(!started.killed);
    QCOMPARE(started.output.count(QStringLiteral("box: ")), told.isEmpty() ? 0 : 1);
    QVERIFY(started.output.contains(told));

    // Either the old data or the restored, whole; the data replaced set aside
    // inside System, and nothing left of the restore's own.
    QCOMPARE(filesOf(folder.path(QString())), restored ? backedUp : afternoon);
    const QString setAside = QStringLiteral("System.före-återställning-2026-12-07-150000");
    QStringList restoresOwn = QDir(folder.path(QString())).entryList({ "System.*", "återställning.journal" });
    QCOMPARE(restoresOwn, restored ? QStringList { setAside } : QStringList());
    QCOMPARE(QDir(folder.programFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList { "System" });
    if (restored)
        QCOMPARE(filesOf(folder.path(setAside)), afternoon);
    QCOMPARE(nextNumber(started), restored ? QStringLiteral("1042") : QStringLiteral("1051"));
}

QTEST_GUILESS_MAIN(TestCrashRecovery)
#include "tst_crashrecovery.moc"
