#include "remembered.h"

#include <QDir>
#include <QSettings>
#include <QUrl>

namespace remembered {
namespace {

const QString program = QStringLiteral("Orderregistrering");

QString folderOr(const QString& key)
{
    const QString folder = QSettings(program, program).value(key).toString();
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

// One key a data folder, so that each remembers its own backups.
QString lastBackupKey(const datafiles::DataDirectory& data)
{
    return QStringLiteral("senasteSakerhetskopia/")
        + QString::fromLatin1(QUrl::toPercentEncoding(QDir::cleanPath(data.systemFolder())));
}

} // namespace

QString backupFolder()
{
    return folderOr(QStringLiteral("sakerhetskopiaMapp"));
}

void setBackupFolder(const QString& folder)
{
    QSettings(program, program).setValue(QStringLiteral("sakerhetskopiaMapp"), folder);
}

QString exportFolder()
{
    return folderOr(QStringLiteral("exportMapp"));
}

void setExportFolder(const QString& folder)
{
    QSettings(program, program).setValue(QStringLiteral("exportMapp"), folder);
}

std::optional<QDate> lastBackup(const datafiles::DataDirectory& data)
{
    const QDate date
        = QDate::fromString(QSettings(program, program).value(lastBackupKey(data)).toString(), Qt::ISODate);
    return date.isValid() ? std::optional(date) : std::nullopt;
}

void setLastBackup(const datafiles::DataDirectory& data, const QDate& date)
{
    QSettings(program, program).setValue(lastBackupKey(data), date.toString(Qt::ISODate));
}

} // namespace remembered
