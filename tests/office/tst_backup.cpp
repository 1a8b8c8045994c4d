// A backup of the data folder and its restore: the archive as a tool of its
// own lists it, the restore gives back the folder byte for byte, and a backup
// or an archive that cannot be trusted changes nothing.

#include "datafiles/datalock.h"
#include "office/backup.h"
#include "office/restore.h"
#include "order/basket.h"
#include "order/crashpoint.h"
#include "order/registration.h"
#include "support/datafolder.h"
#include "support/machine.h"

#include <QDirIterator>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <archive.h>
#include <archive_entry.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QDateTime made(QDate(2026, 12, 7), QTime(14, 30));

// A zip archive of the test's own making: entries of a name, a kind ('f' file,
// 'd' folder, 'l' link to /etc/passwd) and bytes.
QByteArray zipOf(const QList<std::tuple<QByteArray, char, QByteArray>>& entries)
{
    QByteArray zip(1 << 16, '\0');
    size_t used = 0;
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_open_memory(a, zip.data(), size_t(zip.size()), &used);
    for (const auto& [name, kind, bytes] : entries) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, name.constData());
        archive_entry_set_filetype(entry, kind == 'd' ? AE_IFDIR : kind == 'l' ? AE_IFLNK : AE_IFREG);
        if (kind == 'l')
            archive_entry_set_symlink(entry, "/etc/passwd");
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, kind == 'f' ? bytes.size() : 0);
        archive_write_header(a, entry);
        archive_write_data(a, bytes.constData(), size_t(bytes.size()));
        archive_entry_free(entry);
    }
    archive_write_free(a);
    return zip.left(qsizetype(used));
}

// The sample data with order 124 printed.
struct Desk : TestDataFolder
{
    Desk()
    {
        copySample();
        core::Order order = sampleOrder(2);
        core::rewriteBasket(data(), QStringLiteral("124"), order.lines());
        core::registerOrder(data(), order);
    }

    QTemporaryDir backups;
};

// What a folder holds that is data: the lock, the desks' folder and a
// restore's folders left out.
QMap<QString, QByteArray> dataOf(const QString& path)
{
    QMap<QString, QByteArray> data = contentsOf(path);
    data.removeIf([](const auto& entry) { return datafiles::DataDirectory::isWorkingPath(entry.key()); });
    return data;
}

// Flips a bit of the byte in the middle of the file, as a failing disk might.
void damage(const QString& file)
{
    QFile damaged(file);
    QVERIFY(damaged.open(QIODevice::ReadWrite));
    QByteArray bytes = damaged.readAll();
    bytes[bytes.size() / 2] = char(bytes.at(bytes.size() / 2) ^ 0x20);
    QVERIFY(damaged.seek(0) && damaged.write(bytes) == bytes.size());
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void backupListedByUnzipRestoresTheSameFolder();
    void namedAfterTheBusiness_data();
    void namedAfterTheBusiness();
    void refusedBackupsLeaveNoZipFile_data();
    void refusedBackupsLeaveNoZipFile();
    void refusedArchivesChangeNothing_data();
    void refusedArchivesChangeNothing();
    void backupReadsTheSharedFilesUnderTheLock();
    void restoreOnAShareReplacesTheFolderSystemLinksTo();
    void workingFilesAreNeverPutBack();
    void restoreThatCannotFinishPutsEverythingBack();
    void backupFollowsOnlyTheFolderLinksItMay();
    void previewOfAHundredThousandEntriesIsBounded();
};

void TestBackup::namedAfterTheBusiness_data()
{
    QTest::addColumn<QStringList>("names");
    // The business's name, and the archive's name after it.
    QTest::newRow("none") << QStringList { "", "orderregistrering-2026-12-07-1430.zip" };
    QTest::newRow("blanks") << QStringList { "Järnhandeln  AB",
                                             "orderregistrering-Järnhandeln-AB-2026-12-07-1430.zip" };
    QTest::newRow("what a USB stick refuses")
        << QStringList { "A/S \"Bygg\": 1*2?", "orderregistrering-A-S-Bygg-1-2-2026-12-07-1430.zip" };
    QTest::newRow("nothing it can hold") << QStringList { "<>", "orderregistrering-2026-12-07-1430.zip" };
}

void TestBackup::namedAfterTheBusiness()
{
    QFETCH(QStringList, names);
    QCOMPARE(office::backupName(QDateTime(QDate(2026, 12, 7), QTime(14, 30)), names.at(0)), names.at(1));
}

void TestBackup::backupListedByUnzipRestoresTheSameFolder()
{
    SKIP_IF_UNAVAILABLE(notInstalled(QStringLiteral("unzip"), QStringLiteral("unzip")));
    Desk desk;
    // What a replacement stopped by a crash leaves beside its file.
    desk.write("Registret/OrderNr.dbf.Xq3v9Z", "125\r\n");
    const QMap<QString, QByteArray> backedUp = dataOf(desk.path(QString()));

    const office::BackupOutcome backup = office::backUp(desk.data(), desk.backups.path(), made);
    QVERIFY2(!backup.failure, qPrintable(backup.failure ? backup.failure->reason : QString()));
    QCOMPARE(backup.zipFile, desk.backups.path() + "/orderregistrering-2026-12-07-1430.zip");
    QCOMPARE(QDir(desk.backups.path()).entryList(QDir::Files), QStringList { "orderregistrering-2026-12-07-1430.zip" });

    QProcess listing;
    listing.start(QStringLiteral("unzip"), { "-l", backup.zipFile });
    QVERIFY(listing.waitForFinished());
    QMap<QString, QByteArray> listed;
    static const QRegularExpression line(QStringLiteral(R"(^\s*(\d+)\s+\S+\s+\S+\s+System/(.+?)/?$)"));
    for (const QString& text : QString::fromUtf8(listing.readAllStandardOutput()).split(u'\n')) {
        if (const QRegularExpressionMatch match = line.match(text); match.hasMatch())
            listed.insert(match.captured(2), match.captured(1).toUtf8());
    }
    QMap<QString, QByteArray> sizes;
    for (auto it = backedUp.cbegin(); it != backedUp.cend(); ++it)
        sizes.insert(it.key(), QByteArray::number(it.value() == "<mapp>" ? 0 : it.value().size()));
    QCOMPARE(listed, sizes);

    // A day's work after the backup, then the restore.
    desk.write("Registret/OrderNr.dbf", "131\r\n");
    desk.remove("Customer/1002.GetInfo.dbf");
    desk.write("Order/131.basket.dbf", "\"A\",\"B\",\"st\",\"1.00\",\"1\",\"\",\"1.00\"\r\n");
    const QMap<QString, QByteArray> dayAfter = dataOf(desk.path(QString()));

    const office::RestoreOutcome restore = office::restoreBackup(desk.data(), backup.zipFile, made);
    QVERIFY2(restore.restored && !restore.failure, qPrintable(restore.failure ? restore.failure->reason : QString()));
    QCOMPARE(dataOf(desk.path(QString())), backedUp);
    QCOMPARE(restore.setAside, desk.path("System.före-återställning-2026-12-07-143000"));
    QCOMPARE(dataOf(restore.setAside), dayAfter);
    QCOMPARE(QDir(desk.programFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList { "System" });
}

void TestBackup::refusedBackupsLeaveNoZipFile_data()
{
    QTest::addColumn<QString>("folder"); // under System; none: a folder of its own
    QTest::addColumn<bool>("damaged"); // the zip file damaged once it is in place
    // A backup inside the data folder would go with it.
    QTest::newRow("into System itself") << "" << false;
    QTest::newRow("into a folder of System") << "Order" << false;
    QTest::newRow("damaged once in place") << QString() << true;
}

void TestBackup::refusedBackupsLeaveNoZipFile()
{
    QFETCH(QString, folder);
    QFETCH(bool, damaged);
    Desk desk;
    const QString target = folder.isNull() ? desk.backups.path() : desk.path(folder);
    const QMap<QString, QByteArray> before = contentsOf(desk.programFolder());
    const core::CrashHookForTesting damaging([&](core::CrashPoint point) {
        if (damaged && point == core::CrashPoint::BackupPlaced)
            damage(desk.backups.path() + u'/' + office::backupName(made));
    });

    const office::BackupOutcome backup = office::backUp(desk.data(), target, made);
    QVERIFY(backup.failure && backup.zipFile.isEmpty());
    QCOMPARE(contentsOf(desk.programFolder()), before);
    QVERIFY(QDir(desk.backups.path()).isEmpty());
}

void TestBackup::refusedArchivesChangeNothing_data()
{
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<QString>("refusal");

    const auto orderNumber = std::make_tuple(QByteArray("System/Registret/OrderNr.dbf"), 'f', QByteArray("7\r\n"));
    QTest::newRow("..") << zipOf({ orderNumber, { "System/../Order/lista.dbf", 'f', "x" } })
                        << "Säkerhetskopian innehåller \"System/../Order/lista.dbf\", som pekar ut ur datamappen.";
    QTest::newRow("absolute") << zipOf({ orderNumber, { "/tmp/System/lista.dbf", 'f', "x" } })
                              << "Säkerhetskopian innehåller \"/tmp/System/lista.dbf\", som pekar ut ur datamappen.";
    QTest::newRow("link") << zipOf({ orderNumber, { "System/Order/lista.dbf", 'l', "" } })
                          << "Säkerhetskopian innehåller länken \"System/Order/lista.dbf\".";
    QTest::newRow("outside System")
        << zipOf({ orderNumber, { "Order/lista.dbf", 'f', "x" } })
        << "Säkerhetskopian innehåller \"Order/lista.dbf\", som inte ligger i mappen System.";
    QTest::newRow("without the order-number file")
        << zipOf({ { "System/Order/lista.dbf", 'f', "x" } })
        << "Säkerhetskopian saknar System/Registret/OrderNr.dbf och är ingen säkerhetskopia av programmets data.";
    QTest::newRow("System a file") << zipOf({ { "System", 'f', "x" }, orderNumber })
                                   << "Säkerhetskopian innehåller \"System\" som en fil.";
    QTest::newRow("names differing only in case")
        << zipOf({ orderNumber, { "System/Order/a.dbf", 'f', "x" }, { "System/order/b.dbf", 'f', "y" } })
        << "Säkerhetskopian innehåller både \"System/Order\" och \"System/order\"";
    QTest::newRow("an order's files missing")
        << zipOf({ orderNumber, { "System/Order/lista.dbf", 'f', "\"261201\",\"1040\",\"1001\",\"B\"\r\n" } })
        << "Säkerhetskopian saknar filerna för 1 av orderna i orderlistan (1040).";
    QTest::newRow("a bomb") << zipOf({ orderNumber, { "System/Order/lista.dbf", 'f', QByteArray(20 << 20, '\0') } })
                            << "Säkerhetskopian packas upp till mer än 200 gånger sin storlek";
    QTest::newRow("not an archive") << QByteArray("Orderregistrering\r\n")
                                    << "Filen är ingen säkerhetskopia: den är inget zip-arkiv.";
    QTest::newRow("cut") << QByteArray("<cut>") << "Säkerhetskopian är skadad eller avkortad";
    QTest::newRow("damaged") << QByteArray("<damaged>") << "Säkerhetskopian är skadad eller avkortad";
    QTest::newRow("damaged once unpacked")
        << QByteArray("<unpacked damaged>") << "filen blev inte som i säkerhetskopian när den packades upp";
}

void TestBackup::refusedArchivesChangeNothing()
{
    QFETCH(QByteArray, archive);
    QFETCH(QString, refusal);
    Desk desk;
    const QString file = desk.backups.path() + "/backup.zip";
    const bool damagedOnceUnpacked = archive == "<unpacked damaged>";
    if (archive.startsWith('<')) {
        const QString zipFile = office::backUp(desk.data(), desk.backups.path(), made).zipFile;
        if (archive == "<damaged>")
            damage(zipFile);
        QFile whole(zipFile);
        QVERIFY(whole.open(QIODevice::ReadOnly));
        const QByteArray bytes = whole.readAll();
        whole.remove();
        if (archive == "<cut>") {
            for (const qsizetype cut : { bytes.size() / 3, bytes.size() / 2 })
                QVERIFY(office::readBackupBytes(bytes.left(cut)).refusal.value_or(QString()).startsWith(refusal));
        }
        archive = archive == "<cut>" ? bytes.left(bytes.size() - 10) : bytes;
    }
    QFile written(file);
    QVERIFY(written.open(QIODevice::WriteOnly));
    written.write(archive);
    written.close();
    const QMap<QString, QByteArray> before = contentsOf(desk.path(QString()));
    const core::CrashHookForTesting damaging([&](core::CrashPoint point) {
        if (damagedOnceUnpacked && point == core::CrashPoint::RestoreUnpacked)
            damage(desk.path("System.återställs-2026-12-07-143000/Registret/OrderNr.dbf"));
    });

    const office::RestoreOutcome restore = office::restoreBackup(desk.data(), file, made);
    QVERIFY(!restore.restored);
    const QString why = restore.refusal.value_or(restore.failure ? restore.failure->reason : QString());
    QVERIFY2(why.startsWith(refusal), qPrintable(why));
    QCOMPARE(contentsOf(desk.path(QString())), before);
    QCOMPARE(QDir(desk.programFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList { "System" });
}

void TestBackup::backupReadsTheSharedFilesUnderTheLock()
{
    Desk desk;
    const datafiles::DataDirectory other(desk.programFolder(), datafiles::Desk::another());
    const datafiles::DataLock held = datafiles::DataLock::take(other, QStringLiteral("spara kunden"));
    const datafiles::DataDirectory waiting(desk.programFolder(), datafiles::Desk::another());
    waiting.desk().setLockWait([](const datafiles::DeskRecord&, const std::function<bool()>&) { return false; });

    const office::BackupOutcome backup = office::backUp(waiting, desk.backups.path(), made);
    QVERIFY(backup.failure);
    QCOMPARE(backup.failure->kind, datafiles::FailureKind::Cancelled);
    QCOMPARE(QDir(desk.backups.path()).entryList(QDir::Files), QStringList());
}

void TestBackup::restoreOnAShareReplacesTheFolderSystemLinksTo()
{
    Desk desk;
    const QString zip = office::backUp(desk.data(), desk.backups.path(), made).zipFile;
    QVERIFY(!zip.isEmpty());
    const QMap<QString, QByteArray> backedUp = dataOf(desk.path(QString()));
    // System on a share: a link to the mounted folder.
    QTemporaryDir share;
    const QString shared = share.filePath("Orderdata");
    QVERIFY(QDir().rename(desk.path(QString()), shared));
    QVERIFY(QFile::link(shared, desk.programFolder() + "/System"));
    desk.write("Registret/OrderNr.dbf", "131\r\n");

    const office::RestoreOutcome restore = office::restoreBackup(desk.data(), zip, made);
    QVERIFY(restore.restored);
    // The link stays; what it points to is the backup, and what it held lies
    // inside it on the share, where every desk sees it.
    QVERIFY(QFileInfo(desk.programFolder() + "/System").isSymLink());
    QCOMPARE(dataOf(shared), backedUp);
    QCOMPARE(restore.setAside, shared + "/System.före-återställning-2026-12-07-143000");
    QCOMPARE(QDir(desk.programFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
             QStringList { "System" });
}

// Order on a larger disk is saved; a link to a private file elsewhere is left
// out and named, and what either points to keeps its bytes.
void TestBackup::backupFollowsOnlyTheFolderLinksItMay()
{
    Desk desk;
    QTemporaryDir disk;
    const QString orders = disk.filePath("Order");
    QVERIFY(QDir().rename(desk.path("Order"), orders));
    QVERIFY(QFile::link(orders, desk.path("Order")));
    writeFileAt(disk.filePath("privat.dbf"), "hemligt");
    QVERIFY(QFile::link(disk.filePath("privat.dbf"), desk.path("Registret/Hemligt.dbf")));
    // Only the three folders directly in System are followed, not one by their name further down.
    QVERIFY(QFile::link(disk.path(), orders + "/Registret"));
    const QMap<QString, QByteArray> before = contentsOf(disk.path());

    const mode_t umask = ::umask(0027);
    const office::BackupOutcome backup = office::backUp(desk.data(), desk.backups.path(), made);
    ::umask(umask);
    QVERIFY2(!backup.failure, qPrintable(backup.failure ? backup.failure->reason : QString()));
    QStringList skipped = backup.skipped;
    skipped.sort();
    QCOMPARE(skipped, (QStringList { "Order/Registret", "Registret/Hemligt.dbf" }));
    QStringList saved;
    for (const office::BackupEntry& entry : office::readBackup(backup.zipFile).entries)
        saved.append(entry.path);
    QVERIFY(saved.contains("Order") && saved.contains("Order/lista.dbf") && saved.contains("Order/124_data2.dbf"));
    QVERIFY(!saved.contains("Registret/Hemligt.dbf"));
    QCOMPARE(contentsOf(disk.path()), before);
    // Made as any new file is: readable by whoever the umask lets read it.
    QCOMPARE(QFileInfo(backup.zipFile).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::ReadGroup);
}

// A file in the way of one being moved into place (something else wrote
// there meanwhile) stops the restore half-way: what was set aside and what was
// moved in go back, and System is as it was.
void TestBackup::restoreThatCannotFinishPutsEverythingBack()
{
    Desk desk;
    const QString zip = office::backUp(desk.data(), desk.backups.path(), made).zipFile;
    desk.write("Registret/OrderNr.dbf", "131\r\n");
    const QMap<QString, QByteArray> before = dataOf(desk.path(QString()));
    const core::CrashHookForTesting inTheWay([&](core::CrashPoint point) {
        if (point == core::CrashPoint::RestoreMovingIn)
            desk.write("form_listview.gif", "i vägen");
    });

    const office::RestoreOutcome restore = office::restoreBackup(desk.data(), zip, made);
    QVERIFY(!restore.restored && restore.failure && restore.setAside.isEmpty());
    QCOMPARE(dataOf(desk.path(QString())), before);
    QCOMPARE(QDir(desk.path(QString())).entryList({ "System.*", "återställning.journal" }), QStringList());
}

void TestBackup::workingFilesAreNeverPutBack()
{
    const office::BackupContents read = office::readBackupBytes(
        zipOf({ { "System/Registret/OrderNr.dbf", 'f', "7\r\n" },
                { "System/orderregistrering.lock", 'f', "x" },
                { "System/Skrivbord/a.skrivbord", 'f', "x" },
                { "System/System.före-återställning-1/Registret/OrderNr.dbf", 'f', "1\r\n" } }));
    QVERIFY(read.restorable());
    QCOMPARE(read.entries.size(), 1);
    QCOMPARE(read.entries.first().path, QStringLiteral("Registret/OrderNr.dbf"));
}

// The preview of a backup of a hundred thousand orders' files, in a process of
// its own, whose peak memory is read when it ends.
void TestBackup::previewOfAHundredThousandEntriesIsBounded()
{
    QTemporaryDir folder;
    const QString zip = folder.filePath("stor.zip");
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    QVERIFY(archive_write_open_filename(a, QFile::encodeName(zip).constData()) == ARCHIVE_OK);
    const auto add = [a](const QByteArray& name, const QByteArray& bytes) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, name.constData());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, bytes.size());
        archive_write_header(a, entry);
        archive_write_data(a, bytes.constData(), size_t(bytes.size()));
        archive_entry_free(entry);
    };
    add("System/Registret/OrderNr.dbf", "100000\r\n");
    for (int n = 1; n < 100000; ++n)
        add("System/Order/" + QByteArray::number(n) + "_data2.dbf", QByteArray::number(n) + "\r\n");
    archive_write_free(a);

    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(office::previewBackup(zip).restorable() ? 0 : 1);
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // The address sanitizer's own bookkeeping would be measured with it.
#ifndef __SANITIZE_ADDRESS__
    struct rusage used;
    QCOMPARE(::getrusage(RUSAGE_CHILDREN, &used), 0);
    QVERIFY2(used.ru_maxrss < 200 * 1024, qPrintable(QStringLiteral("%1 kB").arg(used.ru_maxrss)));
#endif
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
