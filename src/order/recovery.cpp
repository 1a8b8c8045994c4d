#include "recovery.h"

#include "datafiles/textfile.h"

#include <QDir>
#include <QFile>

namespace core {
namespace {

void removeLeftoverTemporaryFiles(const QString& folder)
{
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        if (datafiles::DataDirectory::isLeftoverTemporaryFile(name))
            QFile::remove(dir.filePath(name));
    }
}

} // namespace

Completion finishInterruptedRegistration(const datafiles::DataDirectory& data)
{
    for (const QString& folder :
         { data.systemFolder(), data.registerFolder(), data.customerFolder(), data.customersBeforeImport() })
        removeLeftoverTemporaryFiles(folder);
    if (datafiles::isFile(data.registrationJournal()))
        removeLeftoverTemporaryFiles(data.orderFolder());
    return completeUnfinishedRegistration(data);
}

} // namespace core
