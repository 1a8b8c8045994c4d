#include "restore.h"

#include "datafiles/datalock.h"
#include "datafiles/desks.h"
#include "datafiles/textfile.h"
#include "order/crashpoint.h"
#include "order/numbering.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace office {
namespace {

const QString operation = QStringLiteral("återställa säkerhetskopian");
const QByteArray journalHeading = "Orderregistrering återställning 1\n";

// The two folders of a restore, by their names in the program folder.
struct RestorePlan
{
    QString incoming;
    QString setAside;
};

QByteArray checksum(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

QByteArray encodeJournal(const RestorePlan& plan)
{
    const QByteArray body
        = journalHeading + "incoming " + plan.incoming.toUtf8() + "\naside " + plan.setAside.toUtf8() + '\n';
    return body + "sha256 " + checksum(body) + '\n';
}

// The plan of a journal; none when it is cut or damaged, or names a folder
// that is not one a restore makes.
std::optional<RestorePlan> decodeJournal(QByteArrayView bytes)
{
    const QList<QByteArray> lines = bytes.toByteArray().split('\n');
    if (lines.size() != 5 || !lines.at(4).isEmpty() || lines.at(0) + '\n' != journalHeading)
        return std::nullopt;
    const qsizetype signedLength = lines.at(0).size() + lines.at(1).size() + lines.at(2).size() + 3;
    if (lines.at(3) != "sha256 " + checksum(bytes.first(signedLength)))
        return std::nullopt;
    const auto folder = [](const QByteArray& line, const char* key, const QString& prefix) -> std::optional<QString> {
        if (!line.startsWith(QByteArray(key) + ' '))
            return std::nullopt;
        const QString name = QString::fromUtf8(line.sliced(qstrlen(key) + 1));
        if (!name.startsWith(prefix) || name.contains(u'/') || name.contains(QStringLiteral("..")))
            return std::nullopt;
        return name;
    };
    const auto incoming = folder(lines.at(1), "incoming", datafiles::DataDirectory::restoreIncomingPrefix());
    const auto setAside = folder(lines.at(2), "aside", datafiles::DataDirectory::restoreSetAsidePrefix());
    if (!incoming || !setAside)
        return std::nullopt;
    return RestorePlan { *incoming, *setAside };
}

datafiles::Failure failed(const QString& file, int error)
{
    return { operation, file, datafiles::failureReason(error, QString::fromLocal8Bit(strerror(error))) };
}

std::optional<datafiles::Failure> renameFolder(const QString& from, const QString& to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return failed(from, errno);
    return std::nullopt;
}

// A name beside System that no folder has yet: the prefix and the time.
QString freeName(const QString& folder, const QString& prefix, const QDateTime& when)
{
    const QString name = prefix + when.toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    QString free = name;
    for (int n = 2; QFileInfo::exists(folder + u'/' + free); ++n)
        free = name + QStringLiteral("-%1").arg(n);
    return free;
}

// Removes what restores that never got as far as their journal unpacked; true
// when there was such a folder. A link of such a name is removed itself,
// never what it points to, and named in `links`: a restore makes none.
bool removeUnfinishedFolders(const QString& folder, QStringList* links = nullptr)
{
    bool removed = false;
    const QDir program(folder);
    for (const QString& name :
         program.entryList({ datafiles::DataDirectory::restoreIncomingPrefix() + u'*' },
                           QDir::Dirs | QDir::Files | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString path = program.filePath(name);
        const QFileInfo found(path);
        if (!found.isSymLink() && !found.isDir())
            continue;
        if (datafiles::removeTree(path))
            continue;
        if (!found.isSymLink())
            removed = true;
        else if (links)
            links->append(path);
    }
    if (removed)
        datafiles::syncFolder(folder);
    return removed;
}

// Makes everything unpacked under the folder durable, files and names alike,
// in one call: the whole file system the folder lies on is synced.
std::optional<datafiles::Failure> syncUnpacked(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return failed(folder, errno);
    const bool synced = ::syncfs(fd) == 0;
    const int error = errno;
    ::close(fd);
    return synced ? std::nullopt : std::optional(failed(folder, error));
}

// The unpacked folder read back: exactly the zip file's files and folders,
// each file of the zip file's size and SHA-256.
std::optional<datafiles::Failure> checkUnpacked(const QString& folder, const BackupContents& contents,
                                                const Progress& progress, qint64 half, bool& cancelled)
{
    // The zip file's entries and the folders they lie in, which an zip file
    // need not list.
    QSet<QString> expected;
    for (const BackupEntry& entry : contents.entries) {
        for (qsizetype slash = entry.path.indexOf(u'/'); slash >= 0; slash = entry.path.indexOf(u'/', slash + 1))
            expected.insert(entry.path.first(slash));
        if (!entry.path.isEmpty())
            expected.insert(entry.path);
    }
    qsizetype found = 0;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++found;
    }
    if (found != expected.size())
        return datafiles::Failure { operation, folder, QStringLiteral("den uppackade mappen har fel antal filer") };

    QByteArray buffer(1 << 20, Qt::Uninitialized);
    qint64 checked = 0;
    for (const BackupEntry& entry : contents.entries) {
        const QString path = entry.path.isEmpty() ? folder : folder + u'/' + entry.path;
        const QFileInfo info(path);
        if (entry.folder) {
            if (!info.isDir() || info.isSymLink())
                return datafiles::Failure { operation, path, QStringLiteral("mappen saknas efter uppackningen") };
            continue;
        }
        QFile file(path);
        if (std::optional<datafiles::Failure> failure = datafiles::openToRead(file))
            return failure->during(operation);
        QCryptographicHash sha(QCryptographicHash::Sha256);
        for (qint64 got; (got = file.read(buffer.data(), buffer.size())) > 0;) {
            sha.addData(QByteArrayView(buffer.constData(), got));
            checked += got;
        }
        if (file.size() != entry.size || sha.result() != entry.sha256)
            return datafiles::Failure { operation, path,
                                        QStringLiteral("filen blev inte som i säkerhetskopian när den packades upp") };
        if (!goOn(progress, half + (contents.bytes ? half * checked / contents.bytes : half), 2 * half)) {
            cancelled = true;
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// Where a restore works: the folder System really lies in, and its name there.
struct Place
{
    QString folder;
    QString system;
};

Place placeOf(const datafiles::DataDirectory& data)
{
    const QFileInfo real(data.realSystemFolder());
    return { real.absolutePath(), real.absoluteFilePath() };
}

// The reason a restore is refused while other desks work on the folder: they
// would go on with orders and numbers the restore takes away.
std::optional<QString> otherDesksPresent(const datafiles::DataDirectory& data)
{
    const QList<datafiles::DeskRecord> others = datafiles::otherDesks(data);
    if (others.isEmpty())
        return std::nullopt;
    return QStringLiteral("andra skrivbord arbetar i datamappen. Avsluta programmet där först:\r\n")
        + datafiles::describeDesks(others);
}

// The journal's plan carried out from wherever a run stopped: System moved
// aside if it is still there, the unpacked folder put in its place, the
// journal removed. Every step can be done again. The folder's lock is held
// while System is moved aside (it goes with it), so that no desk changes a
// file meanwhile; this desk's claim and presence stay behind, and are made
// anew on the restored folder.
RestoreOutcome swapFolders(const datafiles::DataDirectory& data, const RestorePlan& plan)
{
    RestoreOutcome outcome;
    const Place place = placeOf(data);
    const QString system = place.system;
    const QString incoming = place.folder + u'/' + plan.incoming;
    const QString setAside = place.folder + u'/' + plan.setAside;
    if (QFileInfo::exists(system)) {
        datafiles::DataLock lock = datafiles::DataLock::take(data, operation);
        std::optional<QString> others = lock.failure() ? std::nullopt : otherDesksPresent(data);
        if (lock.failure() || others) {
            datafiles::removeFile(data.restoreJournal());
            datafiles::removeTree(incoming);
            outcome.failure = lock.failure();
            outcome.refusal = others;
            return outcome;
        }
        core::releaseClaims(data);
        QFile::remove(data.presenceFile(data.desk().id()));
        if ((outcome.failure = renameFolder(system, setAside))) {
            datafiles::removeFile(data.restoreJournal());
            datafiles::removeTree(incoming);
            return outcome;
        }
        lock.release();
        QFile::remove(setAside + QStringLiteral("/") + QFileInfo(data.lockFile()).fileName());
        outcome.setAside = setAside;
        core::crashPoint(core::CrashPoint::RestoreSetAside);
    } else if (QFileInfo(setAside).isDir()) {
        outcome.setAside = setAside;
    }
    if ((outcome.failure = renameFolder(incoming, system))) {
        // Nothing is to change when the new folder cannot take the old one's place.
        if (!outcome.setAside.isEmpty() && !renameFolder(setAside, system))
            outcome.setAside.clear();
        datafiles::removeFile(data.restoreJournal());
        return outcome;
    }
    datafiles::syncFolder(place.folder);
    core::crashPoint(core::CrashPoint::RestoreInPlace);
    datafiles::removeFile(data.restoreJournal());
    core::crashPoint(core::CrashPoint::RestoreDone);
    outcome.restored = true;
    return outcome;
}

} // namespace

RestoreOutcome restoreBackup(const datafiles::DataDirectory& data, const QString& zipFile, const QDateTime& when,
                             const Progress& progress)
{
    RestoreOutcome outcome;
    if ((outcome.refusal = otherDesksPresent(data)))
        return outcome;
    const Place place = placeOf(data);
    const RestorePlan plan { freeName(place.folder, datafiles::DataDirectory::restoreIncomingPrefix(), when),
                             freeName(place.folder, datafiles::DataDirectory::restoreSetAsidePrefix(), when) };
    const QString incoming = place.folder + u'/' + plan.incoming;
    errno = 0;
    if (!QDir(place.folder).mkdir(plan.incoming)) {
        outcome.failure = failed(incoming, errno ? errno : EACCES);
        return outcome;
    }
    const qint64 half = qMax<qint64>(1, datafiles::fileSize(zipFile));
    const BackupContents contents
        = unpackBackup(zipFile, incoming, [&](qint64 done, qint64) { return goOn(progress, done, 2 * half); });
    std::optional<datafiles::Failure> failure = contents.failure;
    if (contents.restorable() && !(failure = syncUnpacked(incoming))) {
        core::crashPoint(core::CrashPoint::RestoreUnpacked);
        failure = checkUnpacked(incoming, contents, progress, half, outcome.cancelled);
    }
    if (failure || !contents.restorable() || outcome.cancelled
        || (failure = datafiles::replaceFile(data.restoreJournal(), encodeJournal(plan)))) {
        datafiles::removeTree(incoming);
        outcome.refusal = contents.refusal;
        outcome.cancelled = outcome.cancelled || contents.cancelled;
        if (failure)
            outcome.failure = failure->during(operation);
        return outcome;
    }
    core::crashPoint(core::CrashPoint::RestoreJournal);
    return swapFolders(data, plan);
}

InterruptedRestore finishInterruptedRestore(const datafiles::DataDirectory& data)
{
    InterruptedRestore found;
    const QString folder = placeOf(data).folder;
    const QString journal = data.restoreJournal();
    if (!datafiles::isFile(journal)) {
        if (removeUnfinishedFolders(folder, &found.linksRemoved))
            found.found = InterruptedRestore::Found::Undone;
        return found;
    }
    const datafiles::ReadResult read = datafiles::readWholeFile(journal);
    const std::optional<RestorePlan> plan = read.ok() ? decodeJournal(read.bytes) : std::nullopt;
    if (!plan) {
        // Cut while it was written: the old System had not been touched.
        datafiles::removeFile(journal);
        removeUnfinishedFolders(folder, &found.linksRemoved);
        found.found = InterruptedRestore::Found::Undone;
        return found;
    }
    found.found = InterruptedRestore::Found::Finished;
    if (QFileInfo(folder + u'/' + plan->incoming).isDir()) {
        const RestoreOutcome swapped = swapFolders(data, *plan);
        found.failure = swapped.failure;
        if (swapped.refusal)
            found.failure = datafiles::refusedByRule(operation, data.systemFolder(), *swapped.refusal);
        found.setAside = swapped.setAside;
    } else {
        datafiles::removeFile(journal);
        if (QFileInfo(folder + u'/' + plan->setAside).isDir())
            found.setAside = folder + u'/' + plan->setAside;
    }
    removeUnfinishedFolders(folder, &found.linksRemoved);
    return found;
}

} // namespace office
