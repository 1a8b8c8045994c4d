#pragma once

#include "failure.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

class QFile;
class QSaveFile;

#include <functional>
#include <optional>

// Reading and writing the data files. Every failure comes back as a Failure
// that names the file and gives the reason in Swedish, so that the operator
// can act on it; its operation is the caller's to tell (Failure::during).
// Nothing is taken for success that was not written in full.
namespace datafiles {

struct ReadResult
{
    QByteArray bytes;
    std::optional<Failure> failure; // none when the file was read
    bool missing = false; // no ordinary file stands at the path (isFile() would say false)

    bool ok() const { return !failure; }
};

// The reason for a failed file operation in the operator's language: the
// common errors in words, any other by its number, followed by the system's
// own text in brackets when there is one, e.g. "åtkomst nekad (Permission
// denied)".
QString failureReason(int error, const QString& systemText);

// The program writes no file of the data folder through a symbolic link: one
// left there could point at any file of the operator's. A link at the path is
// refused, naming the file; the folders above it, System among them, may be
// links. Every writer below refuses one, and a file being appended to or
// written in place is opened without following a link put there meanwhile.
std::optional<Failure> refuseLink(const QString& path);

// True when an ordinary file stands at the path (a folder does not count).
bool isFile(const QString& path);

// Nothing of the data folder is read through a link either: its bytes could be
// a file of the operator's own, and would then be shown, printed or copied
// where the whole group reads them. A link at the path is refused as the
// writers refuse one, without its target being opened; the folders above it
// may be links. So is anything that is not an ordinary file (a named pipe
// would keep the program waiting).
ReadResult readWholeFile(const QString& path);

// A file the operator chose outside the data folder, such as a price list to
// import: a link there is followed, as any other program follows one.
ReadResult readChosenFile(const QString& path);

// Hands the file's bytes to `read`, mapped into memory rather than copied,
// and lets them go again: for a large file that is read through once and not
// kept. The bytes are there only during the call. A link is refused.
std::optional<Failure> readMapped(const QString& path, const std::function<void(QByteArrayView)>& read);

// Opens the data folder's file for reading bit by bit, refusing a link and
// anything but an ordinary file, as readWholeFile() does.
std::optional<Failure> openToRead(QFile& file);

// Replaces the file's content through a temporary file beside it, so that a
// crash or a full disk leaves the old file whole: the new bytes are synced to
// the disk, renamed into place, and the folder is synced, so that the new file
// is there after a power cut too. A link at the path is refused, before the
// temporary file is opened and again after.
std::optional<Failure> replaceFile(const QString& path, QByteArrayView bytes);

// The same, for content written by `write` into the temporary file (a PDF
// drawn page by page); false from it leaves the old file as it was.
std::optional<Failure> replaceFileWith(const QString& path, const std::function<bool(QSaveFile&)>& write);

// Adds the bytes at the end of the file, creating it when it is missing, and
// syncs them to the disk before it returns. A file whose last line has no line
// end gets CR LF before the bytes.
std::optional<Failure> appendToFile(const QString& path, QByteArrayView bytes);

// Adds exactly these bytes at the end of the file, creating it when it is
// missing, and syncs them to the disk before it returns.
std::optional<Failure> appendExactly(const QString& path, QByteArrayView bytes);

// What appendToFile() would write at the end of the file: the bytes, after a
// CR LF where the file's last line has no line end. The last byte of a link is
// not looked at: the append refuses the link.
QByteArray bytesToAppend(const QString& path, QByteArrayView bytes);

// Cuts the file back to `length` bytes, writes the bytes there and syncs it.
// The file is created when it is missing and `length` is 0.
std::optional<Failure> writeAt(const QString& path, qint64 length, QByteArrayView bytes);

// Removes the file, if it is there, and syncs its folder. A link in its place
// is removed itself, never what it points to.
std::optional<Failure> removeFile(const QString& path);

// Removes the folder or file at the path with everything in it, and syncs the
// folder it lay in. The tree is walked without following a link: a link, at
// the path or anywhere below it, is removed itself, never what it points to.
// Nothing at the path is no failure.
std::optional<Failure> removeTree(const QString& path);

// A folder the program keeps itself (the copies an import keeps for its undo),
// opened once without following a link in its place and then read through
// that opening, so that a link put there afterwards is not followed either;
// a link in a file's place is refused. `FolderLink::Allowed` is for the
// folders that may be links, such as Customer.
enum class FolderLink { Refused, Allowed };
class OpenedFolder
{
public:
    explicit OpenedFolder(const QString& path, FolderLink link = FolderLink::Refused);
    ~OpenedFolder();
    OpenedFolder(const OpenedFolder&) = delete;
    OpenedFolder& operator=(const OpenedFolder&) = delete;

    // Why the folder cannot be read: it is missing, a link or no folder.
    const std::optional<Failure>& failure() const { return m_failure; }
    bool missing() const { return m_missing; }
    // What stands in it that is no folder, by name: files, and links, which
    // read() refuses.
    QStringList fileNames() const;
    ReadResult read(const QString& name) const;
    // A link is removed itself.
    std::optional<Failure> remove(const QString& name) const;

private:
    QString m_path;
    int m_fd = -1;
    std::optional<Failure> m_failure;
    bool m_missing = false;
};

// Makes the names in the folder durable: a file renamed, created or removed
// there is still so after a power cut.
std::optional<Failure> syncFolder(const QString& folder);

// A file of records being added to, such as the order list or a basket: what
// stopped the append, and where the bytes of a record cut short at its end
// were put aside.
struct RecordAppend
{
    std::optional<Failure> failure;
    QString setAside; // empty when the file ended with a whole record
};

// Where the bytes of a record cut short at the end of a file are kept: the
// file's own name with ".avkortat" after it, beside it.
QString setAsideFile(const QString& path);

// A file of records of n fields that ends part-way through a record (a power
// cut during an append, a copy cut short, a hand edit) is cut back to the end
// of its last whole record, and the bytes cut off are added to its set-aside
// file first, so that nothing is lost. A record added after it then neither
// joins the cut one nor shifts the fields of every later record.
RecordAppend setAsideCutRecord(const QString& path, int fieldsPerRecord);
// Whether the file of records of n fields ends part-way through a record;
// a link in its place is not read.
bool endsPartWayThroughARecord(const QString& path, int fieldsPerRecord);

// Adds whole records at the end of a file of records of n fields, creating
// it, after setting aside a record it was cut short in; synced to the disk.
RecordAppend appendRecords(const QString& path, QByteArrayView records, int fieldsPerRecord);

// The same for a file of one record a line (LineRecordReader): only a last
// line without its line end that is no whole record is set aside, so that the
// file is never cut inside a line.
RecordAppend appendLineRecords(const QString& path, QByteArrayView records, int fieldsPerRecord);

// The failure of a system call on the file, by its error number: the reason in
// the operator's words and the kind.
Failure failedWith(const QString& path, int error);

// The folder a file lies in.
QString folderOf(const QString& path);

// The file's size; -1 when there is no file.
qint64 fileSize(const QString& path);

// Installs, for as long as it lives, a hook that the writers call with the
// path after they have looked for a link there and before they open it: a
// test's stand-in for another program that puts a link in the file's place at
// that moment. The program itself never installs one.
class LinkRaceForTesting
{
public:
    explicit LinkRaceForTesting(std::function<void(const QString& path)> betweenCheckAndOpen);
    ~LinkRaceForTesting();
    LinkRaceForTesting(const LinkRaceForTesting&) = delete;
    LinkRaceForTesting& operator=(const LinkRaceForTesting&) = delete;
};

// The small files the desks coordinate by (a lock, a claim, a desk's
// presence) are made only where no file stands, so that of two desks making
// the same one exactly one succeeds; neither is written or read through a
// link.
enum class Made {
    Made,
    AlreadyThere,
    Failed,
};

struct MadeFile
{
    Made made = Made::Failed;
    std::optional<Failure> failure; // when it failed
};

// What tells whether a file or a folder has changed since it was looked at
// (another desk saved it): its size, its time and which file stands there.
struct FileStamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 modified = 0; // nanoseconds since 1970
    quint64 file = 0;

    bool operator==(const FileStamp&) const = default;
};

FileStamp fileStamp(const QString& path);

// Creates the file with these bytes, unless a file (or a link) stands at the
// path already.
MadeFile makeExclusively(const QString& path, QByteArrayView bytes);

// Reads the file from the byte at `offset` to its end, refusing a link at
// its path: the part of a growing file added since it was last read.
ReadResult readWithoutFollowing(const QString& path, qint64 offset = 0);

} // namespace datafiles
