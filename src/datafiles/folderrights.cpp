#include "folderrights.h"

#include <QFile>

#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace datafiles {

bool lacksRightTo(const QString& folder)
{
    errno = 0;
    return ::access(QFile::encodeName(folder).constData(), R_OK | W_OK | X_OK) != 0
        && (errno == EACCES || errno == EPERM);
}

QString groupWithRightTo(const QString& folder)
{
    struct stat status;
    if (::stat(QFile::encodeName(folder).constData(), &status) != 0)
        return {};
    if ((status.st_mode & S_IRWXG) != S_IRWXG)
        return {};
    const struct group* group = ::getgrgid(status.st_gid);
    return group ? QString::fromLocal8Bit(group->gr_name) : QString::number(status.st_gid);
}

QString accountName()
{
    const struct passwd* account = ::getpwuid(::geteuid());
    return account ? QString::fromLocal8Bit(account->pw_name) : QString::number(::geteuid());
}

void shareNewFilesWithGroup(const QString& folder)
{
    struct stat status;
    if (::stat(QFile::encodeName(folder).constData(), &status) == 0 && (status.st_mode & S_ISGID))
        ::umask(S_IRWXO);
}

} // namespace datafiles
