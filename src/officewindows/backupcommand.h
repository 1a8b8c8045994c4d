#pragma once

#include "datafiles/datadirectory.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

class QWidget;

// "Säkerhetskopiera…": asks for the folder (the one chosen last time first),
// backs the data up there under a progress bar and tells the operator where
// the backup went. True when a backup was made and checked.
bool backUpData(QWidget* parent, const datafiles::DataDirectory& data, const QDateTime& now);

// How the menu entry reminds the operator of backups: its caption with the
// date of the last one, "(aldrig)" where none was made, and a flag once the
// last one is more than a week old.
struct BackupReminder
{
    QString caption;
    bool overdue = false;
};

BackupReminder backupReminder(const std::optional<QDate>& lastBackup, const QDate& today);
