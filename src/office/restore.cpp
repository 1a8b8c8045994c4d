#include "restore.h"

#include "datafiles/datalock.h"
#include "datafiles/textfile.h"
#include "order/crashpoint.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
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
QString freeName(const QString& programFolder, const QString& prefix, const QDateTime& when)
{
    const QString name = prefix + when.toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    QString free = name;
    for (int n = 2; QFileInfo::exists(programFolder + u'/' + free); ++n)
        free = name + QStringLiteral("-%1").arg(n);
    return free;
}

// Removes what restores that never got as far as their journal unpacked; true
// when there was such a folder. A link of such a name is removed itself,
// never what it points to, and named in `links`: a restore makes none.
bool removeUnfinishedFolders(const QString& programFolder, QStringList* links = nullptr)
{
    bool removed = false;
    const QDir program(programFolder);
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

// Takes the lock again, on the System folder now in place.
void retake(QLockFile* lock, RestoreOutcome& outcome, const QString& system)
{
    if (!lock || lock->isLocked())
        return;
    if (datafiles::takeDataLock(*lock) != datafiles::DataLock::Taken)
        outcome.failure = datafiles::Failure { QStringLiteral("låsa den återställda datamappen"),
                                               system,
                                               QStringLiteral("ett annat program har låst den"),
                                               {},
                                               datafiles::FailureKind::HeldByAnotherDesk };
}

// The journal's plan carried out from wherever a run stopped: System moved
// aside if it is still there, the unpacked folder put in its place, the
// journal removed. Every step can be done again.
RestoreOutcome swapFolders(const datafiles::DataDirectory& data, const RestorePlan& plan, QLockFile* lock)
{
    RestoreOutcome outcome;
    const QString program = data.programFolder();
    const QString system = data.systemFolder();
    const QString incoming = program + u'/' + plan.incoming;
    const QString setAside = program + u'/' + plan.setAside;
    if (lock && lock->isLocked())
        lock->unlock();
    if (QFileInfo::exists(system)) {
        if ((outcome.failure = renameFolder(system, setAside))) {
            datafiles::removeFile(data.restoreJournal());
            datafiles::removeTree(incoming);
            retake(lock, outcome, system);
            return outcome;
        }
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
        retake(lock, outcome, system);
        return outcome;
    }
    datafiles::syncFolder(program);
    core::crashPoint(core::CrashPoint::RestoreInPlace);
    datafiles::removeFile(data.restoreJournal());
    core::crashPoint(core::CrashPoint::RestoreDone);
    outcome.restored = true;
    retake(lock, outcome, system);
    return outcome;
}

} // namespace

RestoreOutcome restoreBackup(const datafiles::DataDirectory& data, const QString& zipFile, QLockFile* lock,
                             const QDateTime& when, const Progress& progress)
{
    const QString program = data.programFolder();
    const RestorePlan plan { freeName(program, datafiles::DataDirectory::restoreIncomingPrefix(), when),
                             freeName(program, datafiles::DataDirectory::restoreSetAsidePrefix(), when) };
    const QString incoming = program + u'/' + plan.incoming;
    RestoreOutcome outcome;
    errno = 0;
    if (!QDir(program).mkdir(plan.incoming)) {
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
    return swapFolders(data, plan, lock);
}

InterruptedRestore finishInterruptedRestore(const datafiles::DataDirectory& data, QLockFile* lock)
{
    InterruptedRestore found;
    const QString program = data.programFolder();
    const QString journal = data.restoreJournal();
    if (!datafiles::isFile(journal)) {
        if (removeUnfinishedFolders(program, &found.linksRemoved))
            found.found = InterruptedRestore::Found::Undone;
        return found;
    }
    const datafiles::ReadResult read = datafiles::readWholeFile(journal);
    const std::optional<RestorePlan> plan = read.ok() ? decodeJournal(read.bytes) : std::nullopt;
    if (!plan) {
        // Cut while it was written: the old System had not been touched.
        datafiles::removeFile(journal);
        removeUnfinishedFolders(program, &found.linksRemoved);
        found.found = InterruptedRestore::Found::Undone;
        return found;
    }
    found.found = InterruptedRestore::Found::Finished;
    if (QFileInfo(program + u'/' + plan->incoming).isDir()) {
        const RestoreOutcome swapped = swapFolders(data, *plan, lock);
        found.failure = swapped.failure;
        found.setAside = swapped.setAside;
    } else {
        datafiles::removeFile(journal);
        if (QFileInfo(program + u'/' + plan->setAside).isDir())
            found.setAside = program + u'/' + plan->setAside;
    }
    removeUnfinishedFolders(program, &found.linksRemoved);
    return found;
}

} // namespace office
