#pragma once

#include "datafiles/datadirectory.h"

#include <QDate>
#include <QString>

#include <optional>

// What the program remembers of the operator's choices from one run to the
// next (QSettings): the folders last chosen, and when each data folder was
// last backed up. Never data of an order.
namespace remembered {

QString backupFolder();
void setBackupFolder(const QString& folder);

QString exportFolder();
void setExportFolder(const QString& folder);

std::optional<QDate> lastBackup(const datafiles::DataDirectory& data);
void setLastBackup(const datafiles::DataDirectory& data, const QDate& date);

} // namespace remembered
