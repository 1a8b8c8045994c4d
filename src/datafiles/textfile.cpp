#include "textfile.h"

#include "records.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace datafiles {
QString failureReason(int error, const QString& systemText)
{
    QString reason;
    switch (error) {
    case ENOENT:
        reason = QStringLiteral("filen eller mappen finns inte");
        break;
    case EACCES:
    case EPERM:
        reason = QStringLiteral("åtkomst nekad");
        break;
    case ENOSPC:
    case EDQUOT:
        reason = QStringLiteral("disken är full");
        break;
    case EISDIR:
        reason = QStringLiteral("det är en mapp, inte en fil");
        break;
    case ENOTDIR:
        reason = QStringLiteral("en del av sökvägen är inte en mapp");
        break;
    case EROFS:
        reason = QStringLiteral("filsystemet är skrivskyddat");
        break;
    case EIO:
        reason = QStringLiteral("läs- eller skrivfel på disken");
        break;
    case ENAMETOOLONG:
        reason = QStringLiteral("sökvägen är för lång");
        break;
    case EMFILE:
    case ENFILE:
        reason = QStringLiteral("för många öppna filer");
        break;
    case EBUSY:
    case ETXTBSY:
        reason = QStringLiteral("filen är upptagen");
        break;
    case EFBIG:
        reason = QStringLiteral("filen blir för stor");
        break;
    case ENOMEM:
        reason = QStringLiteral("minnet räcker inte");
        break;
    case ENODEV:
    case ENXIO:
        reason = QStringLiteral("enheten finns inte");
        break;
    case ETIMEDOUT:
        reason = QStringLiteral("tidsgränsen överskreds");
        break;
    case 0:
        reason = QStringLiteral("okänt fel");
        break;
    default:
        reason = QStringLiteral("systemfel nummer %1").arg(error);
        break;
    }
    // The system's own words, often English, only as a second part.
    if (!systemText.isEmpty())
        reason += QStringLiteral(" (") + systemText + QLatin1Char(')');
    return reason;
}

// The failure of a system call on the file: the reason in words and the kind
// the error number stands for.
static Failure failedWith(const QString& path, int error, const QString& systemText)
{
    return { {}, path, failureReason(error, systemText), {}, kindOfError(error) };
}

Failure failedWith(const QString& path, int error)
{
    return failedWith(path, error, QString::fromLocal8Bit(strerror(error)));
}

static Failure failedWith(const QString& path, int error, const QFileDevice& file)
{
    return failedWith(path, error, file.errorString());
}

namespace {

// Why the file's folder cannot hold it: missing, or not a folder.
std::optional<Failure> folderProblem(const QString& path)
{
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.exists())
        return Failure {
            {}, path, QStringLiteral("mappen %1 finns inte").arg(folder.filePath()), {}, FailureKind::NotFound
        };
    if (!folder.isDir())
        return Failure {
            {}, path, QStringLiteral("%1 är inte en mapp").arg(folder.filePath()), {}, FailureKind::NotFound
        };
    return std::nullopt;
}

// Syncs the file's bytes to the disk (its size included, so fdatasync will do).
// A file that cannot be synced (a device, not a file on a disk) has nothing to
// wait for.
bool syncData(QFile& file)
{
    return ::fdatasync(file.handle()) == 0 || errno == EINVAL;
}

bool isLink(const QString& path)
{
    struct stat status;
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISLNK(status.st_mode);
}

std::function<void(const QString&)>& linkRace()
{
    static std::function<void(const QString&)> hook;
    return hook;
}

// Why a file cannot be written at the path before trying: a link or a folder in
// its place, or its folder missing. The opening that follows must refuse a link
// again, since one can take the file's place in between.
std::optional<Failure> cannotWrite(const QString& path)
{
    if (isLink(path))
        return linkRefused({}, path);
    if (QFileInfo(path).isDir())
        return failedWith(path, EISDIR, QString());
    std::optional<Failure> problem = folderProblem(path);
    if (!problem && linkRace())
        linkRace()(path);
    return problem;
}

// Opens the file to write in it, creating it when it is missing, without
// following a link that has taken its place since it was looked at.
std::optional<Failure> openToWrite(QFile& file, int flags, QIODevice::OpenMode mode)
{
    const QString path = file.fileName();
    errno = 0;
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int error = errno;
        if (error == ELOOP && isLink(path))
            return linkRefused({}, path);
        return failedWith(path, error);
    }
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failedWith(path, 0, file);
    }
    return std::nullopt;
}

} // namespace

std::optional<Failure> refuseLink(const QString& path)
{
    return isLink(path) ? std::optional<Failure>(linkRefused({}, path)) : std::nullopt;
}

bool isFile(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

namespace {

enum class AtLink { Refuse, Follow };

// An ordinary file opened for reading, or why it could not be.
struct OpenedToRead
{
    int fd = -1;
    qint64 size = 0;
    std::optional<Failure> failure;
    bool missing = false; // no ordinary file stands at the path
};

// The file `name` of the folder opened as `folder` (AT_FDCWD: `name` is the
// whole path), told as `path`.
OpenedToRead openOrdinaryFile(int folder, const QByteArray& name, const QString& path, AtLink atLink)
{
    // Opened first and asked afterwards: the history and the export read a
    // hundred thousand small files, and each question is a call to the system.
    // A named pipe would keep the program waiting at the opening.
    OpenedToRead opened;
    const int follow = atLink == AtLink::Refuse ? O_NOFOLLOW : 0;
    const int fd = ::openat(folder, name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | follow);
    if (fd < 0) {
        const int error = errno;
        struct stat status = {};
        if (error == ELOOP && atLink == AtLink::Refuse
            && ::fstatat(folder, name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(status.st_mode)) {
            opened.failure = linkRefused({}, path);
            return opened;
        }
        opened.missing = error == ENOENT || error == ENOTDIR;
        std::optional<Failure> folderMissing = error == ENOENT ? folderProblem(path) : std::nullopt;
        if (folderMissing)
            opened.failure = folderMissing;
        else if (error == ENOENT)
            opened.failure = failedWith(path, ENOENT, QString());
        else
            opened.failure = failedWith(path, error);
        return opened;
    }
    struct stat info = {};
    const bool statted = ::fstat(fd, &info) == 0;
    const int error = errno;
    if (!statted || !S_ISREG(info.st_mode)) {
        ::close(fd);
        opened.missing = true;
        if (!statted)
            opened.failure = failedWith(path, error);
        else if (S_ISDIR(info.st_mode))
            opened.failure = failedWith(path, EISDIR, QString());
        else
            opened.failure = Failure { {}, path, QStringLiteral("det är ingen vanlig fil") };
        return opened;
    }
    opened.fd = fd;
    opened.size = info.st_size;
    return opened;
}

OpenedToRead openOrdinaryFile(const QString& path, AtLink atLink)
{
    return openOrdinaryFile(AT_FDCWD, QFile::encodeName(path), path, atLink);
}

ReadResult readWhole(OpenedToRead opened, const QString& path)
{
    ReadResult result;
    if (opened.fd < 0) {
        result.failure = std::move(opened.failure);
        result.missing = opened.missing;
        return result;
    }
    const int fd = opened.fd;
    // One read more than the size, to see the end even of a file that grew.
    result.bytes.resize(qsizetype(opened.size) + 1);
    qsizetype got = 0;
    for (;;) {
        if (got == result.bytes.size())
            result.bytes.resize(got * 2 + 4096);
        const ssize_t n = ::read(fd, result.bytes.data() + got, size_t(result.bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            result.failure = failedWith(path, error);
            break;
        }
        if (n == 0)
            break;
        got += n;
    }
    ::close(fd);
    result.bytes.resize(got);
    return result;
}

} // namespace

ReadResult readWholeFile(const QString& path)
{
    return readWhole(openOrdinaryFile(path, AtLink::Refuse), path);
}

ReadResult readChosenFile(const QString& path)
{
    return readWhole(openOrdinaryFile(path, AtLink::Follow), path);
}

std::optional<Failure> openToRead(QFile& file)
{
    OpenedToRead opened = openOrdinaryFile(file.fileName(), AtLink::Refuse);
    if (opened.fd < 0)
        return opened.failure;
    if (!file.open(opened.fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(opened.fd);
        return failedWith(file.fileName(), 0, file);
    }
    return std::nullopt;
}

std::optional<Failure> readMapped(const QString& path, const std::function<void(QByteArrayView)>& read)
{
    const OpenedToRead opened = openOrdinaryFile(path, AtLink::Refuse);
    if (opened.fd < 0)
        return opened.failure;
    const auto size = size_t(opened.size);
    if (size == 0) {
        ::close(opened.fd);
        read({});
        return std::nullopt;
    }
    void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, opened.fd, 0);
    ::close(opened.fd);
    if (mapped == MAP_FAILED) {
        // A file system that cannot map files is read the ordinary way.
        const ReadResult whole = readWholeFile(path);
        if (!whole.ok())
            return whole.failure;
        read(whole.bytes);
        return std::nullopt;
    }
    read(QByteArrayView(static_cast<const char*>(mapped), qsizetype(size)));
    ::munmap(mapped, size);
    return std::nullopt;
}

std::optional<Failure> replaceFileWith(const QString& path, const std::function<bool(QSaveFile&)>& write)
{
    if (std::optional<Failure> problem = cannotWrite(path))
        return problem;

    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return failedWith(path, errno, file);
    // QSaveFile writes a link's target: a link put in the file's place since it
    // was looked at is refused all the same.
    if (isLink(path)) {
        file.cancelWriting();
        return linkRefused({}, path);
    }
    errno = 0;
    // The bytes must reach the disk before the old file is replaced: a full disk
    // shows only when the buffer is flushed, and commit() alone would not tell.
    if (!write(file) || !file.flush()) {
        const Failure failure = failedWith(path, errno, file);
        file.cancelWriting();
        return failure;
    }
    errno = 0;
    if (!file.commit())
        return failedWith(path, errno, file);
    if (std::optional<Failure> failure = syncFolder(folderOf(path))) {
        failure->file = path;
        return failure;
    }
    return std::nullopt;
}

std::optional<Failure> replaceFile(const QString& path, QByteArrayView bytes)
{
    return replaceFileWith(path,
                           [bytes](QSaveFile& file) { return file.write(bytes.data(), bytes.size()) == bytes.size(); });
}

QByteArray bytesToAppend(const QString& path, QByteArrayView bytes)
{
    // A file whose last line was cut short (a crash, an editor) gets its line
    // end first, so that the new record does not run on from the broken one.
    QByteArray appended;
    const OpenedToRead tail = openOrdinaryFile(path, AtLink::Refuse);
    if (tail.fd >= 0) {
        char last = '\n';
        if (tail.size > 0 && ::pread(tail.fd, &last, 1, tail.size - 1) == 1 && last != '\n')
            appended = "\r\n";
        ::close(tail.fd);
    }
    appended.append(bytes.data(), bytes.size());
    return appended;
}

std::optional<Failure> appendToFile(const QString& path, QByteArrayView bytes)
{
    return appendExactly(path, bytesToAppend(path, bytes));
}

std::optional<Failure> appendExactly(const QString& path, QByteArrayView bytes)
{
    if (std::optional<Failure> problem = cannotWrite(path))
        return problem;

    const bool created = !QFileInfo::exists(path);
    QFile file(path);
    if (std::optional<Failure> failure
        = openToWrite(file, O_WRONLY | O_APPEND, QIODevice::WriteOnly | QIODevice::Append))
        return failure;
    const qint64 sizeBefore = file.isSequential() ? 0 : file.size();
    errno = 0;
    const bool written = file.write(bytes.data(), bytes.size()) == bytes.size() && file.flush() && syncData(file);
    if (!written) {
        const Failure failure = failedWith(path, errno, file);
        // Leave the file as it was rather than with half a record at its end.
        if (!file.isSequential())
            file.resize(sizeBefore);
        return failure;
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        return failedWith(path, errno, file);
    return created ? syncFolder(folderOf(path)) : std::nullopt;
}

std::optional<Failure> writeAt(const QString& path, qint64 length, QByteArrayView bytes)
{
    if (std::optional<Failure> problem = cannotWrite(path))
        return problem;

    const bool created = !QFileInfo::exists(path);
    QFile file(path);
    if (std::optional<Failure> failure = openToWrite(file, O_RDWR, QIODevice::ReadWrite))
        return failure;
    errno = 0;
    const bool written = file.resize(length) && file.seek(length)
        && file.write(bytes.data(), bytes.size()) == bytes.size() && file.flush() && syncData(file);
    if (!written)
        return failedWith(path, errno, file);
    file.close();
    return created ? syncFolder(folderOf(path)) : std::nullopt;
}

std::optional<Failure> removeFile(const QString& path)
{
    // A link in the file's place is removed itself, never what it points to.
    errno = 0;
    if (::unlink(QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        return error == ENOENT ? std::nullopt : std::optional(failedWith(path, error));
    }
    return syncFolder(folderOf(path));
}

std::optional<Failure> syncFolder(const QString& folder)
{
    const QByteArray name = QFile::encodeName(folder);
    errno = 0;
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return failedWith(folder, errno);
    // A file system that cannot sync a folder (EINVAL) keeps its names anyway.
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    const int error = errno;
    ::close(fd);
    if (!synced)
        return failedWith(folder, error);
    return std::nullopt;
}

QString setAsideFile(const QString& path)
{
    return path + QStringLiteral(".avkortat");
}

namespace {

enum class RecordLayout { Stream, Lines };

RecordAppend setAsideCut(const QString& path, int fieldsPerRecord, RecordLayout layout)
{
    RecordAppend cut;
    // The file behind a link is not read either: its bytes would be set aside
    // in the data folder, where others may read them.
    if ((cut.failure = refuseLink(path)))
        return cut;
    if (!isFile(path))
        return cut;
    ReadResult file = readWholeFile(path);
    if (!file.ok()) {
        cut.failure = file.failure;
        return cut;
    }
    const qsizetype whole = layout == RecordLayout::Lines ? wholeLinesLength(file.bytes, fieldsPerRecord)
                                                          : wholeRecordsLength(file.bytes, fieldsPerRecord);
    if (whole == file.bytes.size())
        return cut;
    // The cut bytes reach their own file before the records' file loses them.
    const QString aside = setAsideFile(path);
    if ((cut.failure = appendToFile(aside, file.bytes.sliced(whole) + "\r\n")))
        return cut;
    // An empty last field that only the cut record's comma made (a line that
    // starts with a comma) would go with the comma: it is closed as "". A
    // file of lines is cut at a line's start, after the last field's line end.
    const qsizetype records = RecordTable::parse(file.bytes, fieldsPerRecord).recordCount();
    const bool lastFieldGoes = layout == RecordLayout::Stream
        && RecordTable::parse(file.bytes.first(whole), fieldsPerRecord).recordCount() != records;
    if ((cut.failure = writeAt(path, whole, lastFieldGoes ? QByteArrayView("\"\"") : QByteArrayView())))
        return cut;
    cut.setAside = aside;
    return cut;
}

} // namespace

RecordAppend setAsideCutRecord(const QString& path, int fieldsPerRecord)
{
    return setAsideCut(path, fieldsPerRecord, RecordLayout::Stream);
}

bool endsPartWayThroughARecord(const QString& path, int fieldsPerRecord)
{
    const ReadResult file = readWithoutFollowing(path);
    return file.ok() && wholeRecordsLength(file.bytes, fieldsPerRecord) != file.bytes.size();
}

RecordAppend appendRecords(const QString& path, QByteArrayView records, int fieldsPerRecord)
{
    RecordAppend append = setAsideCutRecord(path, fieldsPerRecord);
    if (!append.failure)
        append.failure = appendToFile(path, records);
    return append;
}

RecordAppend appendLineRecords(const QString& path, QByteArrayView records, int fieldsPerRecord)
{
    RecordAppend append = setAsideCut(path, fieldsPerRecord, RecordLayout::Lines);
    if (!append.failure)
        append.failure = appendToFile(path, records);
    return append;
}

QString folderOf(const QString& path)
{
    return QFileInfo(path).absolutePath();
}

qint64 fileSize(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile() ? info.size() : -1;
}

namespace {

// Empties the folder opened as `folder`, told as `path`, walking it through
// that opening: a link in it is removed as a link.
std::optional<Failure> emptyFolder(int folder, const QString& path)
{
    const int listing = ::dup(folder);
    DIR* dir = listing < 0 ? nullptr : ::fdopendir(listing);
    if (!dir) {
        const int error = errno;
        if (listing >= 0)
            ::close(listing);
        return failedWith(path, error);
    }
    ::rewinddir(dir);
    QList<QByteArray> names;
    while (const dirent* entry = ::readdir(dir)) {
        if (qstrcmp(entry->d_name, ".") != 0 && qstrcmp(entry->d_name, "..") != 0)
            names.append(QByteArray(entry->d_name));
    }
    ::closedir(dir);
    for (const QByteArray& name : names) {
        const QString entryPath = path + QLatin1Char('/') + QFile::decodeName(name);
        const int inner = ::openat(folder, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (inner < 0) {
            // A file, a link or whatever else: removed itself.
            if (errno != ELOOP && errno != ENOTDIR && errno != ENOENT)
                return failedWith(entryPath, errno);
            if (::unlinkat(folder, name.constData(), 0) != 0 && errno != ENOENT)
                return failedWith(entryPath, errno);
            continue;
        }
        std::optional<Failure> failure = emptyFolder(inner, entryPath);
        ::close(inner);
        if (failure)
            return failure;
        if (::unlinkat(folder, name.constData(), AT_REMOVEDIR) != 0)
            return failedWith(entryPath, errno);
    }
    return std::nullopt;
}

} // namespace

std::optional<Failure> removeTree(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const int folder = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) {
        const int error = errno;
        if (error == ENOENT)
            return std::nullopt;
        if (error == ELOOP || error == ENOTDIR)
            return removeFile(path);
        return failedWith(path, error);
    }
    std::optional<Failure> failure = emptyFolder(folder, path);
    ::close(folder);
    if (failure)
        return failure;
    if (::rmdir(name.constData()) != 0)
        return failedWith(path, errno);
    return syncFolder(folderOf(path));
}

OpenedFolder::OpenedFolder(const QString& path, FolderLink link)
    : m_path(path)
{
    const QByteArray name = QFile::encodeName(path);
    const int follow = link == FolderLink::Refused ? O_NOFOLLOW : 0;
    m_fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | follow);
    if (m_fd >= 0)
        return;
    const int error = errno;
    m_missing = error == ENOENT;
    if ((error == ELOOP || error == ENOTDIR) && isLink(path))
        m_failure = linkRefused({}, path);
    else
        m_failure = failedWith(path, error);
}

OpenedFolder::~OpenedFolder()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QStringList OpenedFolder::fileNames() const
{
    QStringList names;
    const int listing = m_fd < 0 ? -1 : ::dup(m_fd);
    DIR* dir = listing < 0 ? nullptr : ::fdopendir(listing);
    if (!dir) {
        if (listing >= 0)
            ::close(listing);
        return names;
    }
    ::rewinddir(dir);
    while (const dirent* entry = ::readdir(dir)) {
        struct stat status = {};
        if (::fstatat(m_fd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(status.st_mode))
            names.append(QFile::decodeName(entry->d_name));
    }
    ::closedir(dir);
    names.sort();
    return names;
}

ReadResult OpenedFolder::read(const QString& name) const
{
    const QString path = m_path + QLatin1Char('/') + name;
    if (m_failure) {
        ReadResult refused;
        refused.failure = m_failure;
        refused.missing = m_missing;
        return refused;
    }
    return readWhole(openOrdinaryFile(m_fd, QFile::encodeName(name), path, AtLink::Refuse), path);
}

std::optional<Failure> OpenedFolder::remove(const QString& name) const
{
    if (m_failure)
        return m_failure;
    if (::unlinkat(m_fd, QFile::encodeName(name).constData(), 0) != 0 && errno != ENOENT)
        return failedWith(m_path + QLatin1Char('/') + name, errno);
    return std::nullopt;
}

LinkRaceForTesting::LinkRaceForTesting(std::function<void(const QString&)> betweenCheckAndOpen)
{
    Q_ASSERT(!linkRace());
    linkRace() = std::move(betweenCheckAndOpen);
}

LinkRaceForTesting::~LinkRaceForTesting()
{
    linkRace() = nullptr;
}

FileStamp fileStamp(const QString& path)
{
    struct stat status;
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return { true, qint64(status.st_size), qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec,
             quint64(status.st_ino) };
}

MadeFile makeExclusively(const QString& path, QByteArrayView bytes)
{
    const QByteArray name = QFile::encodeName(path);
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0)
            break;
        const int error = errno;
        if (error == EEXIST)
            return { Made::AlreadyThere, std::nullopt };
        // On a share the desk that loses the race may be told EPERM rather
        // than EEXIST, and the winner may have removed the file again by the
        // time it is looked for: then it is tried again.
        struct stat status;
        if (error == EPERM || error == EACCES) {
            if (::lstat(name.constData(), &status) == 0)
                return { Made::AlreadyThere, std::nullopt };
            if (attempt < 50) {
                ::usleep(1000);
                continue;
            }
        }
        return { Made::Failed, failedWith(path, error) };
    }
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : EIO;
            ::close(fd);
            ::unlink(name.constData());
            return { Made::Failed, failedWith(path, error) };
        }
        written += n;
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(name.constData());
        return { Made::Failed, failedWith(path, error) };
    }
    return { Made::Made, std::nullopt };
}

ReadResult readWithoutFollowing(const QString& path, qint64 offset)
{
    ReadResult result;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        result.missing = error == ENOENT || error == ENOTDIR;
        result.failure = error == ELOOP && isLink(path) ? linkRefused({}, path) : failedWith(path, error);
        return result;
    }
    // A device in the file's place (a disk shown as full, say) would read
    // without end.
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        result.failure = S_ISDIR(status.st_mode)
            ? failedWith(path, EISDIR, QString())
            : Failure { {}, path, QStringLiteral("det är ingen vanlig fil"), {}, FailureKind::InputOutput };
        return result;
    }
    if (offset > 0 && ::lseek(fd, off_t(offset), SEEK_SET) < 0) {
        result.failure = failedWith(path, errno);
        ::close(fd);
        return result;
    }
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), size_t(buffer.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.failure = failedWith(path, errno);
            break;
        }
        if (n == 0)
            break;
        result.bytes.append(buffer.constData(), n);
    }
    ::close(fd);
    return result;
}

} // namespace datafiles
