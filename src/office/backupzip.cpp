#include "backupzip.h"

#include "datafiles/datadirectory.h"
#include "datafiles/records.h"
#include "datafiles/textfile.h"
#include "order/archive.h"
#include "order/crashpoint.h"
#include "order/registers.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QStringDecoder>

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace office {
namespace {

const QString system = QStringLiteral("System");
const QString orderNumberFile = QStringLiteral("Registret/OrderNr.dbf");
const QString orderList = QStringLiteral("Order/lista.dbf");
const QString productRegister = QStringLiteral("Registret/Produkter.dbf");

// What a backup may unpack to. A zip file of the data compresses text some
// ten times; one that unpacks to hundreds of times its size is made to fill
// the disk or the memory of whoever opens it.
constexpr qint64 largestEntry = qint64(4) << 30;
constexpr qint64 mostTimesItsSize = 200;
constexpr qint64 slack = 1 << 20;
// The longest record of the order list or the product register a backup's
// reading holds while it counts them.
constexpr qsizetype longestRecord = 1 << 20;

qint64 mostUnpacked(qint64 archiveSize)
{
    return mostTimesItsSize * archiveSize + slack;
}

QString unpacksTooLarge()
{
    return QStringLiteral("Säkerhetskopian packas upp till mer än %1 gånger sin storlek och är ingen säkerhetskopia "
                          "av programmets data.")
        .arg(mostTimesItsSize);
}

struct ArchiveFree
{
    void operator()(struct archive* a) const { archive_read_free(a); }
};
using ArchiveReader = std::unique_ptr<struct archive, ArchiveFree>;

QString archiveError(struct archive* a)
{
    const char* text = archive_error_string(a);
    return text ? QString::fromUtf8(text) : QStringLiteral("okänt fel");
}

// An entry's name as UTF-8, which is how a backup names its entries, whatever
// the locale the program runs under; none when the name is not UTF-8.
std::optional<QString> nameOf(archive_entry* entry)
{
    const char* utf8 = archive_entry_pathname_utf8(entry);
    if (utf8)
        return QString::fromUtf8(utf8);
    const char* raw = archive_entry_pathname(entry);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString name = decoder(QByteArrayView(raw ? raw : ""));
    if (decoder.hasError())
        return std::nullopt;
    return name;
}

// libarchive converts an entry's name into the character set of the locale
// the program runs under, and under one that cannot spell "Fraktsätt.dbf" (C,
// say, or one that is not installed) it loses the name. A backup's reading
// runs under a UTF-8 locale of its own thread, whatever the program's.
class Utf8Locale
{
public:
    Utf8Locale()
        : m_locale(::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr)))
    {
        if (m_locale)
            m_previous = ::uselocale(m_locale);
    }
    ~Utf8Locale()
    {
        if (m_locale) {
            ::uselocale(m_previous);
            ::freelocale(m_locale);
        }
    }
    Utf8Locale(const Utf8Locale&) = delete;
    Utf8Locale& operator=(const Utf8Locale&) = delete;

private:
    locale_t m_locale;
    locale_t m_previous = nullptr;
};

// Counts what a file of the backup holds as its bytes arrive, holding no more
// of it than the record being read: the first line of the order-number file,
// the distinct order numbers of the list, the fields of the product register.
class RecordCounter
{
public:
    enum class Kind { FirstLine, ListedNumbers, Fields };
    RecordCounter(Kind kind, qsizetype mostNumbers)
        : m_kind(kind)
        , m_mostNumbers(mostNumbers)
    {
    }

    // False when a record is longer than a list or register ever holds.
    bool add(QByteArrayView bytes)
    {
        if (m_kind == Kind::FirstLine) {
            if (m_pending.size() < 1024)
                m_pending.append(bytes.first(qMin(bytes.size(), 1024 - m_pending.size())));
            return true;
        }
        m_pending.append(bytes);
        const qsizetype lineEnd = m_pending.lastIndexOf('\n');
        if (lineEnd >= 0) {
            const qsizetype used = count(QByteArrayView(m_pending).first(lineEnd + 1));
            m_pending.remove(0, used);
        }
        return m_pending.size() <= longestRecord;
    }

    void finish() { m_pending.remove(0, count(m_pending)); }

    QString firstLine() const { return datafiles::readLines(m_pending).value(0).trimmed(); }
    const QSet<QByteArray>& numbers() const { return m_numbers; }
    // More distinct numbers than the zip file has entries: it cannot hold
    // every order's files.
    bool tooManyNumbers() const { return m_tooMany; }
    qsizetype fields() const { return m_fields; }

private:
    qsizetype count(QByteArrayView bytes)
    {
        if (m_kind == Kind::ListedNumbers) {
            return core::forEachListedNumber(bytes, [this](QByteArrayView number) {
                if (m_numbers.size() <= m_mostNumbers)
                    m_numbers.insert(number.toByteArray());
                else
                    m_tooMany = true;
            });
        }
        datafiles::FieldStream stream(bytes);
        datafiles::FieldSpan field;
        while (stream.next(&field))
            ++m_fields;
        return bytes.size();
    }

    Kind m_kind;
    qsizetype m_mostNumbers;
    QByteArray m_pending;
    QSet<QByteArray> m_numbers;
    bool m_tooMany = false;
    qsizetype m_fields = 0;
};

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
        // Made as the program makes every file: in a System shared with the
        // operators' group the umask the start set leaves it the group's to
        // write, as the folders made here are.
        m_fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
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
    BackupReading(QString unpackInto, Progress progress, qint64 archiveSize, qsizetype entries, bool keepEntries = true)
        : m_unpackInto(std::move(unpackInto))
        , m_keepEntries(keepEntries)
        , m_progress(std::move(progress))
        , m_archiveSize(archiveSize)
        , m_orderNumber(RecordCounter::Kind::FirstLine, 0)
        , m_orderList(RecordCounter::Kind::ListedNumbers, entries)
        , m_products(RecordCounter::Kind::Fields, 0)
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
        const std::optional<QString> utf8 = nameOf(entry);
        if (!utf8) {
            refuse(QStringLiteral("Säkerhetskopian innehåller ett namn som inte är skrivet i UTF-8."));
            return false;
        }
        const QString& name = *utf8;
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
        if (path->isEmpty() && !folder) {
            refuse(QStringLiteral("Säkerhetskopian innehåller \"System\" som en fil. System ska vara en mapp."));
            return false;
        }
        // The lock, the desks' presence and a restore's own folders belong to
        // the folder the backup was made of, not to its data.
        if (datafiles::DataDirectory::isWorkingPath(*path))
            return true;
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
        m_contents.files += folder ? 0 : 1;
        m_latest = qMax(m_latest, read.modified);
        if (read.path.isEmpty() || m_keepEntries)
            m_contents.entries.append(std::move(read));
        return true;
    }

    // Notes where the entry goes; false when another entry already holds that
    // place, or a file holds a place this entry needs as a folder.
    bool place(const QString& path, bool folder, const QString& name)
    {
        for (qsizetype slash = path.indexOf(u'/'); slash >= 0; slash = path.indexOf(u'/', slash + 1)) {
            if (!placeOne(path.first(slash), true, name))
                return false;
        }
        return placeOne(path, folder, name);
    }

    // One name, as the entry's own or a folder it lies in. A folder on a disk
    // that does not tell "Order" from "order" would take both as one; a backup
    // never holds two such names.
    bool placeOne(const QString& path, bool folder, const QString& name)
    {
        const QString folded = path.toCaseFolded();
        const auto found = m_placed.constFind(folded);
        if (found == m_placed.cend()) {
            m_placed.insert(folded, { path, folder });
            return true;
        }
        if (found->path != path) {
            refuse(QStringLiteral("Säkerhetskopian innehåller både %1 och %2, som bara skiljer sig i stora och "
                                  "små bokstäver.")
                       .arg(shown(entryName(found->path, false)), shown(entryName(path, false))));
            return false;
        }
        // A folder may be named again by its own entry; a file never.
        if (!found->folder || !folder) {
            refuse(QStringLiteral("Säkerhetskopian innehåller %1 mer än en gång.").arg(shown(name)));
            return false;
        }
        return true;
    }

    bool holdsFile(const QString& path) const
    {
        const auto found = m_placed.constFind(path.toCaseFolded());
        return found != m_placed.cend() && found->path == path && !found->folder;
    }

    bool readFile(struct archive* a, archive_entry* entry, BackupEntry& read)
    {
        UnpackedFile unpacked;
        if (!m_unpackInto.isEmpty() && (m_contents.failure = unpacked.open(unpackedPath(read.path))))
            return false;
        RecordCounter* counter = nullptr;
        if (read.path == orderNumberFile)
            counter = &m_orderNumber;
        else if (read.path == orderList)
            counter = &m_orderList;
        else if (read.path == productRegister)
            counter = &m_products;
        const qint64 declared = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : largestEntry;

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
            m_unpacked += got;
            if (read.size > declared) {
                refuse(QStringLiteral("Säkerhetskopian är skadad eller avkortad (%1 har fel storlek).")
                           .arg(shown(entryName(read.path, false))));
                return false;
            }
            if (m_unpacked > mostUnpacked(m_archiveSize)) {
                refuse(unpacksTooLarge());
                return false;
            }
            if (counter && !counter->add(QByteArrayView(m_buffer.constData(), got))) {
                refuse(QStringLiteral("Säkerhetskopian innehåller %1 med en post på mer än 1 MB.")
                           .arg(shown(entryName(read.path, false))));
                return false;
            }
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
        if (!holdsFile(orderNumberFile)) {
            refuse(QStringLiteral("Säkerhetskopian saknar System/%1 och är ingen säkerhetskopia av programmets data.")
                       .arg(orderNumberFile));
            return;
        }
        m_orderList.finish();
        m_products.finish();
        m_contents.lastOrderNumber = m_orderNumber.firstLine();
        m_contents.orders = m_orderList.numbers().size();
        m_contents.products = m_products.fields() / core::productFields;
        // A backup without the orders its list names would restore a list the
        // history cannot show and numbers already given.
        QStringList missing;
        for (const QByteArray& number : m_orderList.numbers()) {
            const QString name = QString::fromLatin1(number);
            if (!holdsFile(QStringLiteral("Order/%1_data2.dbf").arg(name)))
                missing.append(name);
        }
        if (!missing.isEmpty() || m_orderList.tooManyNumbers()) {
            std::sort(missing.begin(), missing.end());
            refuse(QStringLiteral("Säkerhetskopian saknar filerna för %1 av orderna i orderlistan (%2%3).")
                       .arg(m_orderList.tooManyNumbers() ? QStringLiteral("flera") : QString::number(missing.size()))
                       .arg(missing.mid(0, 5).join(QStringLiteral(", ")),
                            missing.size() > 5 ? QStringLiteral(" …") : QString()));
            return;
        }
        if (!m_contents.made.isValid())
            m_contents.made = m_latest;
    }

    QString unpackedPath(const QString& path) const
    {
        return path.isEmpty() ? m_unpackInto : m_unpackInto + u'/' + path;
    }

    QString m_unpackInto;
    bool m_keepEntries;
    QDateTime m_latest;
    Progress m_progress;
    qint64 m_archiveSize;
    BackupContents m_contents;
    // Every name placed so far, by its name in one letter case.
    struct Placed
    {
        QString path;
        bool folder = false;
    };
    QHash<QString, Placed> m_placed;
    qint64 m_unpacked = 0;
    RecordCounter m_orderNumber;
    RecordCounter m_orderList;
    RecordCounter m_products;
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
    // A backup names its entries in UTF-8, and they are taken so under any
    // locale.
    archive_read_set_options(a.get(), "zip:hdrcharset=UTF-8");
    return a;
}

// What the zip file's table of contents says, read before any of its files:
// how many entries, and whether what they unpack to is within bounds.
struct Survey
{
    qsizetype entries = 0;
    std::optional<QString> refusal;
};

Survey survey(struct archive* a, qint64 archiveSize, const QString& unpackInto)
{
    Survey found;
    qint64 total = 0;
    archive_entry* entry = nullptr;
    while (archive_read_next_header(a, &entry) == ARCHIVE_OK) {
        ++found.entries;
        if (!archive_entry_size_is_set(entry))
            continue;
        const qint64 size = archive_entry_size(entry);
        if (size > largestEntry) {
            found.refusal = QStringLiteral("Säkerhetskopian innehåller %1, som är större än 4 GB.")
                                .arg(shown(nameOf(entry).value_or(QString())));
            return found;
        }
        total += size;
        if (total > mostUnpacked(archiveSize)) {
            found.refusal = unpacksTooLarge();
            return found;
        }
    }
    struct statvfs disk;
    if (!unpackInto.isEmpty() && ::statvfs(QFile::encodeName(unpackInto).constData(), &disk) == 0
        && total > qint64(disk.f_bavail) * qint64(disk.f_frsize)) {
        found.refusal = QStringLiteral("Säkerhetskopian packas upp till %1 MB, och disken har bara %2 MB ledigt.")
                            .arg((total >> 20) + 1)
                            .arg((qint64(disk.f_bavail) * qint64(disk.f_frsize)) >> 20);
    }
    return found;
}

// Why an zip file the reader would not open cannot be restored: a zip file
// begins with the signature of its first entry or, empty, of its end.
QString unopened(QByteArrayView start, struct archive* a)
{
    if (start.startsWith("PK\x03\x04") || start.startsWith("PK\x05\x06"))
        return QStringLiteral("Säkerhetskopian är skadad eller avkortad (%1).").arg(archiveError(a));
    return QStringLiteral("Filen är ingen säkerhetskopia: den är inget zip-arkiv.");
}

BackupContents readFile(const QString& zipPath, const QString& unpackInto, const Progress& progress,
                        bool keepEntries = true)
{
    const Utf8Locale utf8;
    BackupContents contents;
    if (!datafiles::isFile(zipPath)) {
        const datafiles::ReadResult missing = datafiles::readChosenFile(zipPath);
        contents.failure = missing.failure;
        return contents;
    }
    const auto open = [&](ArchiveReader& a) {
        a = zipReader();
        if (archive_read_open_filename(a.get(), QFile::encodeName(zipPath).constData(), 1 << 16) == ARCHIVE_OK)
            return true;
        QFile file(zipPath);
        if (!file.open(QIODevice::ReadOnly))
            contents.failure = datafiles::Failure { {}, zipPath, archiveError(a.get()) };
        else
            contents.refusal = unopened(file.read(4), a.get());
        return false;
    };
    ArchiveReader a;
    if (!open(a))
        return contents;
    const qint64 size = datafiles::fileSize(zipPath);
    const Survey surveyed = survey(a.get(), size, unpackInto);
    if ((contents.refusal = surveyed.refusal) || !open(a))
        return contents;
    return BackupReading(unpackInto, progress, size, surveyed.entries, keepEntries).read(a.get());
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
    const Utf8Locale utf8;
    BackupContents contents;
    const auto open = [&](ArchiveReader& a) {
        a = zipReader();
        if (archive_read_open_memory(a.get(), bytes.data(), size_t(bytes.size())) == ARCHIVE_OK)
            return true;
        contents.refusal = unopened(bytes, a.get());
        return false;
    };
    ArchiveReader a;
    if (!open(a))
        return contents;
    const Survey surveyed = survey(a.get(), bytes.size(), {});
    if ((contents.refusal = surveyed.refusal) || !open(a))
        return contents;
    return BackupReading({}, {}, bytes.size(), surveyed.entries).read(a.get());
}

BackupContents previewBackup(const QString& zipFile, const Progress& progress)
{
    return readFile(zipFile, {}, progress, false);
}

BackupContents unpackBackup(const QString& zipFile, const QString& folder, const Progress& progress)
{
    return readFile(zipFile, folder, progress);
}

} // namespace office
