#pragma once

#include "progress.h"

#include "datafiles/failure.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// A backup of the data: one zip file of the folder System, every entry
// named "System/...". Reading one checks all of it before anything changes:
// the zip file whole and undamaged, every entry a file or a folder inside
// System, and the order-number file there.
namespace office {

// One file or folder of a backup.
struct BackupEntry
{
    QString path; // under System, parts parted by "/"; empty for System itself
    bool folder = false;
    qint64 size = 0;
    QByteArray sha256;
    QDateTime modified;

    bool operator==(const BackupEntry& other) const
    {
        return path == other.path && folder == other.folder && size == other.size && sha256 == other.sha256;
    }
};

// What a backup holds, as the operator is shown it before a restore.
struct BackupContents
{
    QList<BackupEntry> entries; // in the zip file's order; none kept by previewBackup()
    qsizetype files = 0;
    QDateTime made;
    qsizetype orders = 0; // order numbers in the order list
    QString lastOrderNumber;
    qsizetype customers = 0;
    qsizetype products = 0;
    qint64 bytes = 0; // the files' sizes together

    // Why the zip file cannot be restored, in the operator's words; none when
    // it can.
    std::optional<QString> refusal;
    // A file that could not be read or written.
    std::optional<datafiles::Failure> failure;
    bool cancelled = false;

    bool restorable() const { return !refusal && !failure && !cancelled; }
};

// Reads the backup through and checks it, without unpacking anything.
BackupContents readBackup(const QString& zipFile, const Progress& progress = {});
// The same, for the operator to look at before a restore: the entries are
// counted, not kept, so that a backup of any number of files is shown in
// little memory.
BackupContents previewBackup(const QString& zipFile, const Progress& progress = {});
BackupContents readBackupBytes(QByteArrayView zipFile);

// Reads and checks the backup as readBackup() does, and writes its files and
// folders under `folder` as it goes; syncing them is the caller's. It stops
// at the first refusal or failure; what it wrote is then the caller's to
// remove.
BackupContents unpackBackup(const QString& zipFile, const QString& folder, const Progress& progress = {});

// The path under System that a backup's entry names, without a trailing "/";
// none for a name that could reach out of the folder it is unpacked in (an
// absolute name, a "." or ".." part, an empty part, a "\") or one outside
// System.
std::optional<QString> pathUnderSystem(const QString& entryName);

// How the entry of a path under System is named in a backup.
QString entryName(const QString& pathUnderSystem, bool folder);

} // namespace office
