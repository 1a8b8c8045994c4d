#include "backupcommand.h"

#include "remembered.h"
#include "workprogress.h"

#include "office/backup.h"
#include "widgets/filedialog.h"
#include "widgets/messagebox.h"

#include <QDir>
#include <QLocale>

namespace {

const QString title = QStringLiteral("Säkerhetskopiera");

} // namespace

bool backUpData(QWidget* parent, const datafiles::DataDirectory& data, const QDateTime& now)
{
    const QString folder
        = FileDialog::folder(parent, QStringLiteral("Välj mappen för säkerhetskopian"), remembered::backupFolder());
    if (folder.isEmpty())
        return false;
    remembered::setBackupFolder(folder);

    office::BackupOutcome backup;
    {
        WorkProgress progress(parent, QStringLiteral("Säkerhetskopierar datamappen…"));
        backup = office::backUp(data, folder, now, progress.progress());
    }
    if (backup.cancelled) {
        MessageBox::show(parent, MessageBox::Icon::Information, title,
                         QStringLiteral("Säkerhetskopieringen avbröts. Ingen säkerhetskopia sparades."));
        return false;
    }
    if (backup.failure) {
        MessageBox::reportFailure(parent, *backup.failure);
        return false;
    }
    remembered::setLastBackup(data, now.date());
    const QLocale swedish(QLocale::Swedish, QLocale::Sweden);
    QString text = QStringLiteral("Säkerhetskopian är sparad och kontrollerad:\r\n%1\r\n\r\n%2 filer, %3.")
                       .arg(QDir::toNativeSeparators(backup.zipFile))
                       .arg(backup.files)
                       .arg(swedish.formattedDataSize(backup.bytes, 1, QLocale::DataSizeTraditionalFormat));
    if (!backup.skipped.isEmpty())
        text += QStringLiteral("\r\n\r\nLänkar och annat som varken är filer eller mappar kom inte med:\r\n")
            + backup.skipped.join(QStringLiteral("\r\n"));
    MessageBox::show(parent, MessageBox::Icon::Information, title, text);
    return true;
}

BackupReminder backupReminder(const std::optional<QDate>& lastBackup, const QDate& today)
{
    if (!lastBackup)
        return { QStringLiteral("&Säkerhetskopiera… (aldrig)"), true };
    return { QStringLiteral("&Säkerhetskopiera… (senast %1)").arg(lastBackup->toString(Qt::ISODate)),
             lastBackup->daysTo(today) > 7 };
}
