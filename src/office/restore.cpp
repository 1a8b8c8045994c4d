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
const QByteArray journalHeading = "Orderregistrering återställning 2\n";

// The two folders of a restore, by their names inside System, and how far the
// swap has come: System's own files and folders are all moved aside before
// the first unpacked one takes its place.
struct RestorePlan
{
    enum class Step { MoveAside, MoveIn };
    QString incoming;
    QString setAside;
    Step step = Step::MoveAside;
};

QByteArray checksum(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

QByteArray encodeJournal(const RestorePlan& plan)
{
    const QByteArray body = journalHeading + "incoming " + plan.incoming.toUtf8() + "\naside " + plan.setAside.toUtf8()
        + "\nstep " + (plan.step == RestorePlan::Step::MoveAside ? "aside" : "in") + '\n';
    return body + "sha256 " + checksum(body) + '\n';
}

// The plan of a journal; none when it is cut or damaged, or names a folder
// that is not one a restore makes.
std::optional<RestorePlan> decodeJournal(QByteArrayView bytes)
{
    const QList<QByteArray> lines = bytes.toByteArray().split('\n');
    if (lines.size() != 6 || !lines.at(5).isEmpty() || lines.at(0) + '\n' != journalHeading)
        return std::nullopt;
    const qsizetype signedLength
        = lines.at(0).size() + lines.at(1).size() + lines.at(2).size() + lines.at(3).size() + 4;
    if (lines.at(4) != "sha256 " + checksum(bytes.first(signedLength)))
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
    if (!incoming || !setAside || (lines.at(3) != "step aside" && lines.at(3) != "step in"))
        return std::nullopt;
    return RestorePlan { *incoming, *setAside,
                         lines.at(3) == "step in" ? RestorePlan::Step::MoveIn : RestorePlan::Step::MoveAside };
}

datafiles::Failure failed(const QString& file, int error)
{
    return { operation, file, datafiles::failureReason(error, QString::fromLocal8Bit(strerror(error))) };
}

std::optional<datafiles::Failure> moveEntry(const QString& from, const QString& to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return failed(from, errno);
    return std::nullopt;
}

// The files and folders directly in the folder, links among them as links,
// but not the program's working files: those stay where they are.
QStringList dataEntries(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.removeIf([](const QString& name) { return datafiles::DataDirectory::isWorkingPath(name); });
    return names;
}

// A name in the folder that nothing has yet: the prefix and the time.
QString freeName(const QString& folder, const QString& prefix, const QDateTime& when)
{
    const QString name = prefix + when.toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    QString free = name;
    for (int n = 2; QFileInfo::exists(folder + u'/' + free) || QFileInfo(folder + u'/' + free).isSymLink(); ++n)
        free = name + QStringLiteral("-%1").arg(n);
    return free;
}

// Removes what restores that never got as far as their journal unpacked; true
// when there was such a folder. A link of such a name is removed itself,
// never what it points to, and named in `links`: a restore makes none.
bool removeUnfinishedFolders(const QString& folder, const QString& prefix, QStringList* links = nullptr)
{
    bool removed = false;
    const QDir program(folder);
    for (const QString& name : program.entryList(
             { prefix + u'*' }, QDir::Dirs | QDir::Files | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden)) {
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

// What a restore, of this program or of one before it that unpacked beside
// System, left unfinished.
bool removeUnfinishedRestores(const QString& system, QStringList* links = nullptr)
{
    const QString prefix = datafiles::DataDirectory::restoreIncomingPrefix();
    const bool inside = removeUnfinishedFolders(system, prefix, links);
    return removeUnfinishedFolders(QFileInfo(system).absolutePath(), prefix, links) || inside;
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

// Moves the data entries of one folder into another, crashing at `first`
// after the first of them; the names moved are appended to `moved`.
std::optional<datafiles::Failure> moveAll(const QString& from, const QString& to, core::CrashPoint first,
                                          QStringList& moved)
{
    for (const QString& name : dataEntries(from)) {
        if (QFileInfo::exists(to + u'/' + name) || QFileInfo(to + u'/' + name).isSymLink())
            return failed(to + u'/' + name, EEXIST);
        if (std::optional<datafiles::Failure> failure = moveEntry(from + u'/' + name, to + u'/' + name))
            return failure;
        moved.append(name);
        if (moved.size() == 1)
            core::crashPoint(first);
    }
    return std::nullopt;
}

// Puts back what a swap that failed had moved, as far as it goes.
void moveBack(const QString& from, const QString& to, const QStringList& moved)
{
    for (const QString& name : moved)
        moveEntry(from + u'/' + name, to + u'/' + name);
}

// The journal's plan carried out from wherever a run stopped: System's own
// files and folders moved into the set-aside folder, the journal told so, the
// unpacked ones moved into System, the journal removed. Every step can be done
// again. The lock, which stays in System, is held throughout, so that no desk
// changes a file meanwhile; the desks' presence stays too, and this desk's
// claims are let go, since the orders they were for are gone.
RestoreOutcome swapFolders(const datafiles::DataDirectory& data, RestorePlan plan)
{
    RestoreOutcome outcome;
    const QString system = data.realSystemFolder();
    const QString incoming = system + u'/' + plan.incoming;
    const QString setAside = system + u'/' + plan.setAside;
    const auto giveUp = [&](std::optional<datafiles::Failure> failure, std::optional<QString> refusal = {}) {
        datafiles::removeFile(data.restoreJournal());
        datafiles::removeTree(incoming);
        outcome.failure = failure;
        outcome.refusal = refusal;
        return outcome;
    };

    // Once a file has moved, the swap is carried through: a start that finds
    // it stopped half-way goes on with it, other desks or not, and a lock it
    // cannot take leaves the journal for the next start.
    const bool begun = plan.step == RestorePlan::Step::MoveIn
        || (QFileInfo(setAside).isDir()
            && !QDir(setAside).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
    datafiles::DataLock lock = datafiles::DataLock::take(data, operation);
    if (lock.failure() && begun) {
        outcome.failure = lock.failure();
        return outcome;
    }
    if (lock.failure())
        return giveUp(lock.failure());
    if (plan.step == RestorePlan::Step::MoveAside) {
        if (std::optional<QString> others = begun ? std::nullopt : otherDesksPresent(data)) {
            QDir(system).rmdir(plan.setAside);
            return giveUp({}, others);
        }
        core::releaseClaims(data);
        errno = 0;
        if (!QFileInfo(setAside).isDir() && !QDir(system).mkdir(plan.setAside))
            return giveUp(failed(setAside, errno ? errno : EACCES));
        QStringList moved;
        if (std::optional<datafiles::Failure> failure
            = moveAll(system, setAside, core::CrashPoint::RestoreMovingAside, moved)) {
            moveBack(setAside, system, dataEntries(setAside));
            QDir(system).rmdir(plan.setAside);
            return giveUp(failure->during(operation));
        }
        datafiles::syncFolder(setAside);
        plan.step = RestorePlan::Step::MoveIn;
        if (std::optional<datafiles::Failure> failure
            = datafiles::replaceFile(data.restoreJournal(), encodeJournal(plan))) {
            moveBack(setAside, system, dataEntries(setAside));
            QDir(system).rmdir(plan.setAside);
            return giveUp(failure->during(operation));
        }
        core::crashPoint(core::CrashPoint::RestoreSetAside);
    }
    if (QFileInfo(setAside).isDir())
        outcome.setAside = setAside;

    QStringList moved;
    if (std::optional<datafiles::Failure> failure
        = moveAll(incoming, system, core::CrashPoint::RestoreMovingIn, moved)) {
        // Nothing is to change when the unpacked files cannot take the old ones' place.
        // Every data entry of System is an unpacked one by now.
        moveBack(system, incoming, dataEntries(system));
        moveBack(setAside, system, dataEntries(setAside));
        QDir(system).rmdir(plan.setAside);
        outcome.setAside.clear();
        return giveUp(failure->during(operation));
    }
    datafiles::removeTree(incoming);
    datafiles::syncFolder(system);
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
    const QString system = data.realSystemFolder();
    const RestorePlan plan { freeName(system, datafiles::DataDirectory::restoreIncomingPrefix(), when),
                             freeName(system, datafiles::DataDirectory::restoreSetAsidePrefix(), when) };
    const QString incoming = system + u'/' + plan.incoming;
    errno = 0;
    if (!QDir().mkpath(system) || !QDir(system).mkdir(plan.incoming)) {
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
    const QString system = data.realSystemFolder();
    const QString journal = data.restoreJournal();
    if (!datafiles::isFile(journal)) {
        if (removeUnfinishedRestores(system, &found.linksRemoved))
            found.found = InterruptedRestore::Found::Undone;
        return found;
    }
    const datafiles::ReadResult read = datafiles::readWholeFile(journal);
    const std::optional<RestorePlan> plan = read.ok() ? decodeJournal(read.bytes) : std::nullopt;
    if (!plan) {
        // Cut while it was written: nothing of System had moved.
        datafiles::removeFile(journal);
        removeUnfinishedRestores(system, &found.linksRemoved);
        found.found = InterruptedRestore::Found::Undone;
        return found;
    }
    found.found = InterruptedRestore::Found::Finished;
    if (QFileInfo(system + u'/' + plan->incoming).isDir()) {
        const RestoreOutcome swapped = swapFolders(data, *plan);
        found.failure = swapped.failure;
        if (swapped.refusal)
            found.failure = datafiles::refusedByRule(operation, data.systemFolder(), *swapped.refusal);
        found.setAside = swapped.setAside;
    } else {
        datafiles::removeFile(journal);
        if (QFileInfo(system + u'/' + plan->setAside).isDir())
            found.setAside = system + u'/' + plan->setAside;
    }
    removeUnfinishedRestores(system, &found.linksRemoved);
    return found;
}

} // namespace office
