#include "recovery.h"

#include "datafiles/datalock.h"
#include "datafiles/desks.h"
#include "datafiles/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace core {
namespace {

void removeLeftoverTemporaryFiles(const QString& folder, datafiles::FolderLink link = datafiles::FolderLink::Allowed)
{
    const datafiles::OpenedFolder opened(folder, link);
    for (const QString& name : opened.fileNames()) {
        if (datafiles::DataDirectory::isLeftoverTemporaryFile(name))
            opened.remove(name);
    }
}

// The presence files of desks that are gone and left no journal.
void removePresenceOfGoneDesks(const datafiles::DataDirectory& data)
{
    const QDir folder(data.deskFolder());
    const QString suffix = datafiles::DataDirectory::presenceSuffix();
    for (const QString& name : folder.entryList({ u'*' + suffix }, QDir::Files | QDir::System)) {
        const QString desk = name.chopped(suffix.size());
        if (desk != data.desk().id() && datafiles::deskIsGone(data, desk)
            && !QFileInfo::exists(data.registrationJournalOf(desk)))
            QFile::remove(folder.filePath(name));
    }
}

} // namespace

Completion finishInterruptedRegistration(const datafiles::DataDirectory& data)
{
    const QString operation = QStringLiteral("slutföra en avbruten registrering");
    const datafiles::DataLock lock = datafiles::DataLock::take(data, operation);
    if (lock.failure())
        return { {}, lock.failure() };
    // Another desk may be replacing a file this moment: its temporary file
    // is its own.
    if (datafiles::otherDesks(data).isEmpty()) {
        for (const QString& folder :
             { data.systemFolder(), data.registerFolder(), data.customerFolder(), data.deskFolder() })
            removeLeftoverTemporaryFiles(folder);
        // The import's undo copies are the program's own folder, never a link.
        removeLeftoverTemporaryFiles(data.customersBeforeImport(), datafiles::FolderLink::Refused);
        const QStringList journals
            = QDir(data.deskFolder()).entryList({ u'*' + datafiles::DataDirectory::journalSuffix() }, QDir::Files);
        if (!journals.isEmpty() || datafiles::isFile(data.singleDeskJournal()))
            removeLeftoverTemporaryFiles(data.orderFolder());
    }
    Completion completion = completeRegistrationsOfGoneDesks(data);
    removePresenceOfGoneDesks(data);
    return completion;
}

DeskStarted announceDesk(const datafiles::DataDirectory& data, datafiles::DeskPresence& presence)
{
    const datafiles::DataLock lock = datafiles::DataLock::take(data, QStringLiteral("starta skrivbordet"));
    if (lock.failure())
        return { lock.failure(), {} };
    if (std::optional<datafiles::Failure> failure = presence.announce())
        return { failure, {} };
    return { std::nullopt, finishInterruptedRegistration(data) };
}

} // namespace core
