#include "machine.h"

#include "datafolder.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

std::optional<Unavailable> notInstalled(const QString& programOrFile, const QString& package)
{
    if (programOrFile.startsWith(u'/') ? QFileInfo::exists(programOrFile)
                                       : !QStandardPaths::findExecutable(programOrFile).isEmpty())
        return std::nullopt;
    return Unavailable { QStringLiteral("%1 is not installed (package %2)").arg(programOrFile, package), true };
}

Unavailable machineCannot(const QString& why)
{
    return { QStringLiteral("This machine cannot run the test: ") + why, false };
}

std::optional<Unavailable> unlessRoot(const QString& why)
{
    return ::geteuid() == 0 ? std::nullopt : std::optional(machineCannot(why));
}

bool failsHere(const Unavailable& unavailable)
{
    return unavailable.installedByTestCommand && qEnvironmentVariable("CI") == QLatin1String("true");
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        QProcess::execute(QStringLiteral("umount"), { m_mountPoint.path() });
}

std::optional<Unavailable> SmallDisk::mount()
{
    if (std::optional<Unavailable> notRoot = unlessRoot(QStringLiteral("mounting a file system needs root")))
        return notRoot;
    QProcess mount;
    mount.start(QStringLiteral("mount"), { "-t", "tmpfs", "-o", "size=1m", "tmpfs", m_mountPoint.path() });
    m_mounted = mount.waitForFinished(10000) && mount.exitStatus() == QProcess::NormalExit && mount.exitCode() == 0;
    if (m_mounted)
        return std::nullopt;
    return machineCannot(QStringLiteral("it does not let the test mount a small file system"));
}

datafiles::DataDirectory SmallDisk::sampleData() const
{
    copySampleData(path() + QStringLiteral("/System"));
    return datafiles::DataDirectory(path());
}

bool SmallDisk::fill(qint64 leaving) const
{
    QFile filler(fillerPath());
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) { }
    filler.close();
    return filler.resize(std::max<qint64>(0, filler.size() - leaving));
}

void SmallDisk::free() const
{
    QFile::remove(fillerPath());
}
