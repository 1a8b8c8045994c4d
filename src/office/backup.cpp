#include "backup.h"

#include "backupzip.h"

#include "datafiles/datalock.h"
#include "datafiles/textfile.h"
#include "order/company.h"
#include "order/crashpoint.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace office {
namespace {

const QString operation = QStringLiteral("säkerhetskopiera datamappen");

struct ArchiveWriterFree
{
    void operator()(struct archive* a) const { archive_write_free(a); }
};
using ArchiveWriter = std::unique_ptr<struct archive, ArchiveWriterFree>;

struct EntryFree
{
    void operator()(archive_entry* e) const { archive_entry_free(e); }
};
using Entry = std::unique_ptr<archive_entry, EntryFree>;

// A file or folder of System to go into the backup.
struct Source
{
    QString path; // under System
    QString file; // where it lies
    bool folder = false;
    qint64 size = 0;
    QDateTime modified;
    // A file other desks change, read under the folder's lock.
    std::optional<QByteArray> bytes;
};

datafiles::Failure failed(const QString& file, int error)
{
    return { operation, file, datafiles::failureReason(error, QString::fromLocal8Bit(strerror(error))) };
}

// The files other desks change: the order-number file, the order list, the
// status log, the registers and the customers.
bool sharedByDesks(const QString& path)
{
    static const QStringList folders { QStringLiteral("Registret/"), QStringLiteral("Customer/"),
                                       QStringLiteral("Customer.före-import/") };
    return path == QLatin1String("Order/lista.dbf") || path == QLatin1String("Order/status.dbf")
        || std::any_of(folders.begin(), folders.end(), [&](const QString& folder) { return path.startsWith(folder); });
}

// The folders directly in System that may be links to folders elsewhere
// (Order on a larger disk, say): a backup saves what they hold as if they
// were folders. Any other link is left out and named.
bool mayBeFolderLink(const QString& path)
{
    return path == QLatin1String("Order") || path == QLatin1String("Customer") || path == QLatin1String("Registret");
}

// Everything under the folder (System, or a folder link in it) but the files
// the desks share, or only those; `prefix` is the folder's path under System.
void addSources(const QString& folder, const QString& prefix, bool shared, QList<Source>& sources, QStringList& skipped)
{
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString path = prefix + info.filePath().sliced(folder.size() + 1);
        if (datafiles::DataDirectory::isWorkingPath(path))
            continue;
        if (info.isSymLink() && info.isDir() && prefix.isEmpty() && mayBeFolderLink(path)) {
            if (!shared)
                sources.append({ path, info.filePath(), true, 0, info.lastModified(), {} });
            addSources(info.filePath(), path + u'/', shared, sources, skipped);
            continue;
        }
        if ((!info.isDir() && sharedByDesks(path) != shared) || (info.isDir() && shared))
            continue;
        if (info.isSymLink() || (!info.isDir() && !info.isFile())) {
            skipped.append(path);
            continue;
        }
        sources.append(
            { path, info.filePath(), info.isDir(), info.isDir() ? 0 : info.size(), info.lastModified(), {} });
    }
}

// What goes into the backup. The files the desks share are read whole under
// the folder's lock, so that the order list, the order-number file and the
// registers saved belong together; the rest (each order's own files) is read
// as the backup goes.
std::optional<datafiles::Failure> sourcesOf(const datafiles::DataDirectory& data, const QDateTime& when,
                                            QList<Source>& sources, QStringList& skipped)
{
    sources = { { QString(), data.systemFolder(), true, 0, when, {} } };
    addSources(data.systemFolder(), QString(), false, sources, skipped);
    const qsizetype unshared = sources.size();
    {
        const datafiles::DataLock lock = datafiles::DataLock::take(data, operation);
        if (lock.failure())
            return lock.failure();
        addSources(data.systemFolder(), QString(), true, sources, skipped);
        for (qsizetype i = unshared; i < sources.size(); ++i) {
            const datafiles::ReadResult read = datafiles::readWithoutFollowing(sources.at(i).file);
            if (!read.ok())
                return read.failure->during(operation);
            sources[i].bytes = read.bytes;
            sources[i].size = read.bytes.size();
        }
    }
    std::sort(sources.begin() + 1, sources.end(), [](const Source& a, const Source& b) { return a.path < b.path; });
    return std::nullopt;
}

// PDF copies and images are compressed already: storing them is as small and
// much quicker.
bool storedAsItIs(const QString& path)
{
    static const QStringList compressed { ".pdf", ".gif", ".png", ".jpg", ".jpeg", ".zip" };
    return std::any_of(compressed.begin(), compressed.end(),
                       [&](const QString& suffix) { return path.endsWith(suffix, Qt::CaseInsensitive); });
}

class ArchiveWriting
{
public:
    ArchiveWriting(const QString& temporary, int fd, qint64 total, const Progress& progress)
        : m_temporary(temporary)
        , m_fd(fd)
        , m_total(total)
        , m_progress(progress)
        , m_writer(archive_write_new())
    {
    }

    std::optional<datafiles::Failure> open()
    {
        struct archive* a = m_writer.get();
        if (archive_write_set_format_zip(a) != ARCHIVE_OK
            || archive_write_set_options(a, "zip:hdrcharset=UTF-8") != ARCHIVE_OK
            || archive_write_open_fd(a, m_fd) != ARCHIVE_OK)
            return archiveFailure();
        return std::nullopt;
    }

    // Adds the file or folder; the expected entry gets the file's size and
    // SHA-256. A file is read whole before it is added: a desk may add a line
    // to the basket of the order it fills in meanwhile, and the backup keeps
    // the basket as it was read.
    std::optional<datafiles::Failure> add(const Source& source, BackupEntry& expected)
    {
        struct archive* a = m_writer.get();
        // The files read under the lock are saved as they were read then.
        const QByteArray bytes = source.bytes.value_or(QByteArray());
        Entry entry(archive_entry_new());
        archive_entry_set_pathname_utf8(entry.get(), entryName(source.path, source.folder).toUtf8().constData());
        archive_entry_set_filetype(entry.get(), source.folder ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(entry.get(), source.folder ? 0755 : 0644);
        archive_entry_set_mtime(entry.get(), source.modified.toSecsSinceEpoch(), 0);
        archive_entry_set_size(entry.get(), source.bytes ? bytes.size() : source.size);
        if (storedAsItIs(source.path))
            archive_write_zip_set_compression_store(a);
        else
            archive_write_zip_set_compression_deflate(a);
        if (archive_write_header(a, entry.get()) != ARCHIVE_OK)
            return archiveFailure();
        if (source.folder)
            return std::nullopt;
        if (source.bytes) {
            if (!bytes.isEmpty() && archive_write_data(a, bytes.constData(), size_t(bytes.size())) != bytes.size())
                return archiveFailure();
            expected.size = bytes.size();
            expected.sha256 = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
            m_done += source.size;
            if (!goOn(m_progress, m_done, m_total))
                m_cancelled = true;
            return std::nullopt;
        }

        QFile file(source.file);
        if (std::optional<datafiles::Failure> failure = datafiles::openToRead(file))
            return failure->during(operation);
        QCryptographicHash sha(QCryptographicHash::Sha256);
        qint64 copied = 0;
        for (;;) {
            const qint64 got = file.read(m_buffer.data(), m_buffer.size());
            if (got < 0)
                return failed(source.file, EIO);
            if (got == 0)
                break;
            sha.addData(QByteArrayView(m_buffer.constData(), got));
            if (archive_write_data(a, m_buffer.constData(), size_t(got)) != got)
                return archiveFailure();
            copied += got;
            m_done += got;
            if (!goOn(m_progress, m_done, m_total)) {
                m_cancelled = true;
                return std::nullopt;
            }
        }
        // The lock keeps the program's own hands off; anything else that
        // changed the file would leave a backup that is not the folder.
        if (copied != source.size)
            return datafiles::changedSinceRead(operation, source.file,
                                               QStringLiteral("filen ändrades medan den kopierades"));
        expected.sha256 = sha.result();
        return std::nullopt;
    }

    std::optional<datafiles::Failure> close()
    {
        if (archive_write_close(m_writer.get()) != ARCHIVE_OK)
            return archiveFailure();
        if (::fsync(m_fd) != 0 && errno != EINVAL)
            return failed(m_temporary, errno);
        return std::nullopt;
    }

    bool cancelled() const { return m_cancelled; }

private:
    datafiles::Failure archiveFailure() const
    {
        const int error = archive_errno(m_writer.get());
        const char* text = archive_error_string(m_writer.get());
        return { operation, m_temporary,
                 datafiles::failureReason(error, text ? QString::fromLocal8Bit(text) : QString()) };
    }

    QByteArray m_buffer = QByteArray(1 << 20, Qt::Uninitialized);
    QString m_temporary;
    int m_fd;
    qint64 m_total;
    qint64 m_done = 0;
    const Progress& m_progress;
    ArchiveWriter m_writer;
    bool m_cancelled = false;
};

// Puts the zip file in place under the first of its names that is free:
// orderregistrering-2026-12-07-1430.zip, then ...-1430-2.zip.
std::optional<datafiles::Failure> putInPlace(const QString& temporary, const QString& folder, const QString& name,
                                             QString& placed)
{
    for (int n = 1; n < 100; ++n) {
        placed = folder + u'/' + (n == 1 ? name : name.chopped(4) + QStringLiteral("-%1.zip").arg(n));
        const QByteArray from = QFile::encodeName(temporary);
        const QByteArray to = QFile::encodeName(placed);
        int result = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
        // A file system that cannot refuse to replace: look first.
        if (result != 0 && errno == EINVAL && !QFileInfo::exists(placed))
            result = std::rename(from.constData(), to.constData());
        if (result == 0)
            return datafiles::syncFolder(folder);
        if (errno != EEXIST && errno != EINVAL)
            return failed(placed, errno);
    }
    return failed(placed, EEXIST);
}

// The zip file read back whole: every entry where it belongs, with the size and
// the SHA-256 of what was read from the data folder.
std::optional<datafiles::Failure> checkArchive(const QString& placed, const QList<BackupEntry>& expected)
{
    const BackupContents read = readBackup(placed);
    if (read.failure)
        return read.failure->during(operation);
    QString problem = read.refusal.value_or(QString());
    if (problem.isEmpty() && read.entries.size() != expected.size())
        problem = QStringLiteral("den har %1 poster i stället för %2").arg(read.entries.size()).arg(expected.size());
    for (qsizetype i = 0; problem.isEmpty() && i < expected.size(); ++i) {
        if (!(read.entries.at(i) == expected.at(i)))
            problem = QStringLiteral("%1 stämmer inte med datamappen").arg(entryName(expected.at(i).path, false));
    }
    if (problem.isEmpty())
        return std::nullopt;
    return datafiles::Failure { operation, placed,
                                QStringLiteral("säkerhetskopian blev inte som datamappen: %1").arg(problem) };
}

} // namespace

QString backupName(const QDateTime& when, const QString& business)
{
    QString name;
    for (QChar c : business) {
        const bool refused = c.isSpace() || c.unicode() < 32 || QStringView(u"/\\:*?\"<>|").contains(c);
        if (!refused)
            name.append(c);
        else if (!name.isEmpty() && !name.endsWith(u'-'))
            name.append(u'-');
    }
    while (name.endsWith(u'-') || name.endsWith(u'.'))
        name.chop(1);
    return QStringLiteral("orderregistrering-%1%2.zip")
        .arg(name.isEmpty() ? QString() : name + u'-', when.toString(QStringLiteral("yyyy-MM-dd-HHmm")));
}

BackupOutcome backUp(const datafiles::DataDirectory& data, const QString& folder, const QDateTime& when,
                     const Progress& progress)
{
    BackupOutcome outcome;
    if (!QFileInfo(data.systemFolder()).isDir()) {
        outcome.failure = datafiles::Failure {
            operation, data.systemFolder(), datafiles::failureReason(ENOENT, {}), {}, datafiles::FailureKind::NotFound
        };
        return outcome;
    }
    // A backup inside the data folder goes with it when the disk goes, and
    // would be copied into every later backup.
    if (std::optional<datafiles::Failure> inside = data.refuseInside(operation, folder)) {
        outcome.failure = inside;
        return outcome;
    }
    QList<Source> sources;
    if ((outcome.failure = sourcesOf(data, when, sources, outcome.skipped)))
        return outcome;
    qint64 total = 0;
    for (const Source& source : sources)
        total += source.size;

    const QString name = backupName(when, core::readCompany(data).company.name);
    // Made as any new file is, so that the operator's umask decides who may
    // read it: on a folder the group shares, every operator may restore it.
    QString temporaryName;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporaryName = folder + u'/' + name + u'.'
            + QString::number(QRandomGenerator::global()->bounded(1u << 30), 36).rightJustified(6, u'0');
        fd = ::open(QFile::encodeName(temporaryName).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        outcome.failure = failed(QFileInfo(folder).isDir() ? temporaryName : folder, errno);
        return outcome;
    }

    QList<BackupEntry> expected;
    std::optional<datafiles::Failure> failure;
    bool cancelled = false;
    {
        ArchiveWriting writing(temporaryName, fd, total, progress);
        failure = writing.open();
        for (qsizetype i = 0; !failure && !cancelled && i < sources.size(); ++i) {
            const Source& source = sources.at(i);
            BackupEntry entry { source.path, source.folder, source.size, {}, {} };
            failure = writing.add(source, entry);
            cancelled = writing.cancelled();
            expected.append(entry);
        }
        if (!failure && !cancelled)
            failure = writing.close();
    }
    ::close(fd);
    if (failure || cancelled) {
        QFile::remove(temporaryName);
        outcome.failure = failure;
        outcome.cancelled = cancelled;
        return outcome;
    }

    QString placed;
    if ((failure = putInPlace(temporaryName, folder, name, placed))) {
        QFile::remove(temporaryName);
        outcome.failure = failure->during(operation);
        return outcome;
    }
    core::crashPoint(core::CrashPoint::BackupPlaced);
    if ((failure = checkArchive(placed, expected))) {
        datafiles::removeFile(placed);
        outcome.failure = failure;
        return outcome;
    }
    outcome.zipFile = placed;
    for (const BackupEntry& entry : expected) {
        outcome.files += entry.folder ? 0 : 1;
        outcome.bytes += entry.size;
    }
    return outcome;
}

} // namespace office
