#pragma once

#include "backupzip.h"
#include "progress.h"

#include "datafiles/datadirectory.h"
#include "datafiles/failure.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// Putting a backup back. The zip file is unpacked into a new folder inside
// System, synced and checked file by file against the zip file; then a
// journal says what comes next, System's files and folders are moved into
// System/System.före-återställning-<date and time> (never removed by the
// program) and the unpacked ones into their place. All of it happens inside
// System, which the operators' group may write where the program's folder
// belongs to root, and where System is a link (to a share, say) the link stays
// and the folder it points to is restored. A crash or a power cut at any
// moment leaves the old or the restored data, never a mixture, once the next
// start has read the journal: it finishes the swap from where it stopped, and
// removes a folder unpacked without a journal.
namespace office {

struct RestoreOutcome
{
    bool restored = false; // the backup is System now
    QString setAside; // where the System folder that was replaced went; empty when there was none
    std::optional<QString> refusal; // the zip file cannot be restored: nothing changed
    std::optional<datafiles::Failure> failure; // nothing changed, unless it says otherwise
    bool cancelled = false;
};

// Restores the backup. It is refused while another desk works on the folder
// (the refusal names them), and holds the folder's lock while the files
// change places. The lock, the desks' folder and the restore's own folders
// stay where they are; they are not data.
RestoreOutcome restoreBackup(const datafiles::DataDirectory& data, const QString& zipFile, const QDateTime& when,
                             const Progress& progress = {});

// What a start found of a restore that a crash or a power cut stopped.
struct InterruptedRestore
{
    enum class Found {
        Nothing,
        Finished, // the journal was there: the restored folder is now System
        Undone, // a folder was unpacked but not yet checked: removed, System as it was
    };
    Found found = Found::Nothing;
    QString setAside;
    // Links by the name of a folder a restore unpacks into, which a restore
    // never makes: removed themselves, what they pointed to untouched.
    QStringList linksRemoved;
    std::optional<datafiles::Failure> failure;
};

// Finishes or undoes a restore a stopped run left, before the desk works on
// System.
InterruptedRestore finishInterruptedRestore(const datafiles::DataDirectory& data);

} // namespace office
