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

// The system's reason for a failed file operation in the operator's language,
// for the failures that a data folder meets; anything else keeps the system's
// own words.
QString failureReason(int error, const QString& systemText);

// True when an ordinary file stands at the path (a folder does not count).
bool isFile(const QString& path);

ReadResult readWholeFile(const QString& path);

// Replaces the file's content through a temporary file beside it, so that a
// crash or a full disk leaves the old file whole. Returns the reason on failure.
QString replaceFile(const QString& path, QByteArrayView bytes);

// Adds the bytes at the end of the file, creating it when it is missing. A file
// whose last line has no line end gets CR LF before the bytes.
// Returns the reason on failure.
QString appendToFile(const QString& path, QByteArrayView bytes);

} // namespace datafiles
