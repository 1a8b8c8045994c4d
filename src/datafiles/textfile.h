#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Reading and writing the data files. Every failure comes back as a reason in
// Swedish that the operator can act on; nothing is taken for success that was
// not written in full.
namespace datafiles {

struct ReadResult
{
    QByteArray bytes;
    QString error; // empty when the file was read

    bool ok() const { return error.isEmpty(); }
};

// The reason for a failed file operation in the operator's language: the
// common errors in words, any other by its number, followed by the system's
// own text in brackets when there is one, e.g. "åtkomst nekad (Permission
// denied)".
QString failureReason(int error, const QString& systemText);

// True when an ordinary file stands at the path (a folder does not count).
bool isFile(const QString& path);

ReadResult readWholeFile(const QString& path);

// Replaces the file's content through a temporary file beside it, so that a
// crash or a full disk leaves the old file whole: the new bytes are synced to
// the disk, renamed into place, and the folder is synced, so that the new file
// is there after a power cut too. Returns the reason on failure.
QString replaceFile(const QString& path, QByteArrayView bytes);

// Adds the bytes at the end of the file, creating it when it is missing, and
// syncs them to the disk before it returns. A file whose last line has no line
// end gets CR LF before the bytes. Returns the reason on failure.
QString appendToFile(const QString& path, QByteArrayView bytes);

// Adds exactly these bytes at the end of the file, creating it when it is
// missing, and syncs them to the disk before it returns.
QString appendExactly(const QString& path, QByteArrayView bytes);

// What appendToFile() would write at the end of the file: the bytes, after a
// CR LF where the file's last line has no line end.
QByteArray bytesToAppend(const QString& path, QByteArrayView bytes);

// Cuts the file back to `length` bytes, writes the bytes there and syncs it.
// The file is created when it is missing and `length` is 0.
QString writeAt(const QString& path, qint64 length, QByteArrayView bytes);

// Removes the file, if it is there, and syncs its folder.
QString removeFile(const QString& path);

// Makes the names in the folder durable: a file renamed, created or removed
// there is still so after a power cut. Returns the reason on failure.
QString syncFolder(const QString& folder);

// The folder a file lies in.
QString folderOf(const QString& path);

// The file's size; -1 when there is no file.
qint64 fileSize(const QString& path);

} // namespace datafiles
