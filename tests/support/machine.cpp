#include "machine.h"

#include <QFileInfo>
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
