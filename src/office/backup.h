#pragma once

#include "progress.h"

#include "datafiles/datadirectory.h"
#include "datafiles/failure.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// A backup of the whole System folder into one zip file in a folder the
// operator chooses. The zip file is written under a temporary name, synced,
// put in place under its own name and its folder synced; then it is read back
// and every file's size and SHA-256 checked against what was read from the
// data folder. The program's lock file and the temporary files a stopped run
// left are not data, and stay out of it.
namespace office {

struct BackupOutcome
{
    QString zipFile; // where the backup went
    qint64 files = 0;
    qint64 bytes = 0;
    QStringList skipped; // links and other entries that are neither file nor folder, under System
    bool cancelled = false; // then no zip file was left
    std::optional<datafiles::Failure> failure;
};

// The zip file's name for a backup of the business made at this time:
// orderregistrering-Järnhandeln-AB-2026-12-07-1430.zip, or without the
// business's name where it has none. A character a file name on a USB stick
// cannot hold, and a blank, becomes a "-".
QString backupName(const QDateTime& when, const QString& business = {});

BackupOutcome backUp(const datafiles::DataDirectory& data, const QString& folder, const QDateTime& when,
                     const Progress& progress = {});

} // namespace office
