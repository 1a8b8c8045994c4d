#include "backupzip.h"

#include "datafiles/records.h"
#include "datafiles/textfile.h"
#include "order/archive.h"
#include "order/crashpoint.h"
#include "order/registers.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSet>

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace office {
namespace {

const QString system = QStringLiteral("System");
const QString orderNumberFile = QStringLiteral("Registret/OrderNr.dbf");
const QString orderList = QStringLiteral("Order/lista.dbf");
const QString productRegister = QStringLiteral("Registret/Produkter.dbf");

struct ArchiveFree
{
    void operator()(struct archive* a) const { archive_read_free(a); }
};
using ArchiveReader = std::unique_ptr<struct archive, ArchiveFree>;

QString archiveError(struct archive* a)
{
    const char* text = archive_error_string(a);
    return text ? QString::fromLocal8Bit(text) : QStringLiteral("okänt fel");
}

QString shown(const QString& entry)
{
    return QStringLiteral("\"%1\"").arg(entry);
}

// A file unpacked from the zip file, written as its bytes arrive.
class UnpackedFile
{
public:
    ~UnpackedFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    std::optional<datafiles::Failure> open(const QString& path)
    {
        m_path = path;
        if (!QDir().mkpath(datafiles::folderOf(path)))
            return failed(ENOTDIR);
        m_fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        return m_fd < 0 ? failed(errno) : std::nullopt;
    }

    std::optional<datafiles::Failure> write(const char* bytes, qsizetype size)
    {
        while (size > 0) {
            const ssize_t written = ::write(m_fd, bytes, size_t(size));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return failed(written < 0 ? errno : ENOSPC);
            bytes += written;
            size -= written;
        }
        return std::nullopt;
    }

    // Gives the file the time the zip file gave it. The restore syncs all it
    // unpacked at once, afterwards: a sync for each of a hundred thousand
    // files would keep the operator waiting for many minutes.
    std::optional<datafiles::Failure> finish(const QDateTime& modified)
    {
        if (modified.isValid()) {
            const timespec times[2] = { { modified.toSecsSinceEpoch(), 0 }, { modified.toSecsSinceEpoch(), 0 } };
            ::futimens(m_fd, times);
        }
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? std::nullopt : failed(errno);
    }

private:
    std::optional<datafiles::Failure> failed(int error) const
    {
        return datafiles::Failure { {},
                                    m_path,
                                    datafiles::failureReason(error, QString::fromLocal8Bit(strerror(error))),
                                    {},
                                    datafiles::kindOfError(error) };
    }

    QString m_path;
    int m_fd = -1;
};

// Goes through a backup entry by entry, reading every byte, so that a damaged
// or cut zip file is found before anything changes; with a folder to unpack
// into, it writes each file there as it reads it.
class BackupReading
{
public:
    BackupReading(QString unpackInto, Progress progress, qint64 archiveSize)
        : m_unpackInto(std::move(unpackInto))
        , m_progress(std::move(progress))
        , m_archiveSize(archiveSize)
    {
    }

    BackupContents read(struct archive* a)
    {
        for (;;) {
            archive_entry* entry = nullptr;
            const int status = archive_read_next_header(a, &entry);
            if (status == ARCHIVE_EOF)
                break;
            if (status != ARCHIVE_OK) {
                if (archive_format(a) == 0)
                    refuse(QStringLiteral("Filen är ingen säkerhetskopia: den är inget zip-arkiv."));
                else
                    damaged(a);
                return std::move(m_contents);
            }
            if (!readEntry(a, entry) || !goOn(m_progress, archive_filter_bytes(a, -1), m_archiveSize)) {
                m_contents.cancelled = m_contents.restorable();
                return std::move(m_contents);
            }
        }
        finish();
        return std::move(m_contents);
    }

private:
    void refuse(const QString& reason) { m_contents.refusal = reason; }

    void damaged(struct archive* a)
    {
        refuse(QStringLiteral("Säkerhetskopian är skadad eller avkortad (%1).").arg(archiveError(a)));
    }

    // Checks the entry's name and kind, then reads its bytes; false when the
    // reading is to stop.
    bool readEntry(struct archive* a, archive_entry* entry)
    {
        const char* utf8 = archive_entry_pathname_utf8(entry);
        const char* raw = archive_entry_pathname(entry);
        const QString name = utf8 ? QString::fromUtf8(utf8) : QString::fromLocal8Bit(raw ? raw : "");
        const auto type = archive_entry_filetype(entry);
        if (name.startsWith(u'/') || name.contains(u'\\') || name.split(u'/').contains(QStringLiteral(".."))) {
            refuse(QStringLiteral("Säkerhetskopian innehåller %1, som pekar ut ur datamappen.").arg(shown(name)));
            return false;
        }
        if (type == AE_IFLNK || archive_entry_hardlink(entry) || archive_entry_symlink(entry)) {
            refuse(QStringLiteral("Säkerhetskopian innehåller länken %1.").arg(shown(name)));
            return false;
        }
        const std::optional<QString> path = pathUnderSystem(name);
        if (!path) {
            refuse(QStringLiteral("Säkerhetskopian innehåller %1, som inte ligger i mappen System.").arg(shown(name)));
            return false;
        }
        if (type != AE_IFREG && type != AE_IFDIR) {
            refuse(
                QStringLiteral("Säkerhetskopian innehåller %1, som varken är en fil eller en mapp.").arg(shown(name)));
            return false;
        }
        const bool folder = type == AE_IFDIR;
        if (!place(*path, folder, name))
            return false;

        BackupEntry read { *path, folder, 0, {}, {} };
        if (archive_entry_mtime_is_set(entry))
            read.modified = QDateTime::fromSecsSinceEpoch(archive_entry_mtime(entry));
        if (!folder && !readFile(a, entry, read))
            return false;
        if (folder && !m_unpackInto.isEmpty() && !QDir().mkpath(unpackedPath(*path))) {
            m_contents.failure = datafiles::Failure { {}, unpackedPath(*path), datafiles::failureReason(ENOTDIR, {}) };
            return false;
        }
        if (read.path.isEmpty() && folder)
            m_contents.made = read.modified;
        m_contents.bytes += read.size;
        m_contents.entries.append(std::move(read));
        return true;
    }

    // Notes where the entry goes; false when another entry already holds that
    // place, or a file holds a place this entry needs as a folder.
    bool place(const QString& path, bool folder, const QString& name)
    {
        const auto conflict = [&] {
            refuse(QStringLiteral("Säkerhetskopian innehåller %1 mer än en gång.").arg(shown(name)));
            return false;
        };
        if (m_files.contains(path) || (!folder && m_folders.contains(path)))
            return conflict();
        for (qsizetype slash = path.indexOf(u'/'); slash >= 0; slash = path.indexOf(u'/', slash + 1)) {
            const QString parent = path.first(slash);
            if (m_files.contains(parent))
                return conflict();
            m_folders.insert(parent);
        }
        (folder ? m_folders : m_files).insert(path);
        return true;
    }

    bool readFile(struct archive* a, archive_entry* entry, BackupEntry& read)
    {
        UnpackedFile unpacked;
        if (!m_unpackInto.isEmpty() && (m_contents.failure = unpacked.open(unpackedPath(read.path))))
            return false;
        QByteArray* kept = nullptr;
        if (read.path == orderNumberFile)
            kept = &m_orderNumber;
        else if (read.path == orderList)
            kept = &m_orderList;
        else if (read.path == productRegister)
            kept = &m_products;

        QCryptographicHash sha(QCryptographicHash::Sha256);
        for (;;) {
            const la_ssize_t got = archive_read_data(a, m_buffer.data(), size_t(m_buffer.size()));
            if (got == 0)
                break;
            if (got < 0) {
                damaged(a);
                return false;
            }
            sha.addData(QByteArrayView(m_buffer.constData(), got));
            read.size += got;
            if (kept)
                kept->append(m_buffer.constData(), got);
            if (!m_unpackInto.isEmpty() && (m_contents.failure = unpacked.write(m_buffer.constData(), got)))
                return false;
        }
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) != read.size) {
            refuse(QStringLiteral("Säkerhetskopian är skadad eller avkortad (%1 har fel storlek).")
                       .arg(shown(entryName(read.path, false))));
            return false;
        }
        read.sha256 = sha.result();
        if (!m_unpackInto.isEmpty() && (m_contents.failure = unpacked.finish(read.modified)))
            return false;
        if (!m_unpackInto.isEmpty() && !m_unpackedAFile) {
            m_unpackedAFile = true;
            core::crashPoint(core::CrashPoint::RestoreBegun);
        }
        if (read.path.startsWith(QStringLiteral("Customer/")) && read.path.endsWith(QStringLiteral(".GetInfo.dbf"))
            && !read.path.sliced(9).contains(u'/'))
            ++m_contents.customers;
        return true;
    }

    void finish()
    {
        if (!m_files.contains(orderNumberFile)) {
            refuse(QStringLiteral("Säkerhetskopian saknar System/%1 och är ingen säkerhetskopia av programmets data.")
                       .arg(orderNumberFile));
            return;
        }
        m_contents.lastOrderNumber = datafiles::readLines(m_orderNumber).value(0).trimmed();
        QSet<QByteArray> numbers;
        const core::OrderList list(m_orderList, [&numbers](const core::OrderList::Fields& fields) {
            numbers.insert(fields[1].toByteArray());
        });
        m_contents.orders = numbers.size();
        datafiles::FieldStream products(m_products);
        datafiles::FieldSpan field;
        qsizetype fields = 0;
        while (products.next(&field))
            ++fields;
        m_contents.products = fields / core::productFields;
        if (!m_contents.made.isValid()) {
            for (const BackupEntry& entry : std::as_const(m_contents.entries))
                m_contents.made = qMax(m_contents.made, entry.modified);
        }
    }

    QString unpackedPath(const QString& path) const
    {
        return path.isEmpty() ? m_unpackInto : m_unpackInto + u'/' + path;
    }

    QString m_unpackInto;
    Progress m_progress;
    qint64 m_archiveSize;
    BackupContents m_contents;
    QSet<QString> m_files;
    QSet<QString> m_folders;
    QByteArray m_orderNumber;
    QByteArray m_orderList;
    QByteArray m_products;
    QByteArray m_buffer = QByteArray(1 << 16, Qt::Uninitialized);
    bool m_unpackedAFile = false;
};

// Only the reader that starts from the zip file's table of contents at its
// end: an zip file cut anywhere loses that end, and is not taken for a whole
// one with fewer files.
ArchiveReader zipReader()
{
    ArchiveReader a(archive_read_new());
    archive_read_support_format_zip_seekable(a.get());
    return a;
}

// Why an zip file the reader would not open cannot be restored: a zip file
// begins with the signature of its first entry or, empty, of its end.
QString unopened(QByteArrayView start, struct archive* a)
{
    if (start.startsWith("PK\x03\x04") || start.startsWith("PK\x05\x06"))
        return QStringLiteral("Säkerhetskopian är skadad eller avkortad (%1).").arg(archiveError(a));
    return QStringLiteral("Filen är ingen säkerhetskopia: den är inget zip-arkiv.");
}

BackupContents readFile(const QString& zipPath, const QString& unpackInto, const Progress& progress)
{
    BackupContents contents;
    if (!datafiles::isFile(zipPath)) {
        const datafiles::ReadResult missing = datafiles::readChosenFile(zipPath);
        contents.failure = missing.failure;
        return contents;
    }
    ArchiveReader a = zipReader();
    if (archive_read_open_filename(a.get(), QFile::encodeName(zipPath).constData(), 1 << 16) != ARCHIVE_OK) {
        QFile file(zipPath);
        if (!file.open(QIODevice::ReadOnly))
            contents.failure = datafiles::Failure { {}, zipPath, archiveError(a.get()) };
        else
            contents.refusal = unopened(file.read(4), a.get());
        return contents;
    }
    return BackupReading(unpackInto, progress, datafiles::fileSize(zipPath)).read(a.get());
}

} // namespace

std::optional<QString> pathUnderSystem(const QString& entryName)
{
    QString name = entryName;
    if (name.endsWith(u'/'))
        name.chop(1);
    if (name.contains(u'\\') || name.contains(QChar(0)))
        return std::nullopt;
    const QStringList parts = name.split(u'/');
    if (parts.first() != system)
        return std::nullopt;
    for (const QString& part : parts) {
        if (part.isEmpty() || part == u"." || part == u"..")
            return std::nullopt;
    }
    return name.sliced(system.size()).mid(1);
}

QString entryName(const QString& pathUnderSystem, bool folder)
{
    QString name = pathUnderSystem.isEmpty() ? system : system + u'/' + pathUnderSystem;
    if (folder)
        name += u'/';
    return name;
}

BackupContents readBackup(const QString& zipFile, const Progress& progress)
{
    return readFile(zipFile, {}, progress);
}

BackupContents readBackupBytes(QByteArrayView bytes)
{
    ArchiveReader a = zipReader();
    BackupContents contents;
    if (archive_read_open_memory(a.get(), bytes.data(), size_t(bytes.size())) != ARCHIVE_OK) {
        contents.refusal = unopened(bytes, a.get());
        return contents;
    }
    return BackupReading({}, {}, bytes.size()).read(a.get());
}

BackupContents unpackBackup(const QString& zipFile, const QString& folder, const Progress& progress)
{
    return readFile(zipFile, folder, progress);
}

} // namespace office
