#include "recovery.h"

#include "datafiles/textfile.h"

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

} // namespace

Completion finishInterruptedRegistration(const datafiles::DataDirectory& data)
{
    for (const QString& folder : { data.systemFolder(), data.registerFolder(), data.customerFolder() })
        removeLeftoverTemporaryFiles(folder);
    // The import's undo copies are the program's own folder, never a link.
    removeLeftoverTemporaryFiles(data.customersBeforeImport(), datafiles::FolderLink::Refused);
    if (datafiles::isFile(data.registrationJournal()))
        removeLeftoverTemporaryFiles(data.orderFolder());
    return completeUnfinishedRegistration(data);
}

} // namespace core
