#include "machine.h"

#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

std::optional<Unavailable> missingTool(const QString& program, const QString& package)
{
    const bool found = program.startsWith(u'/') ? QFileInfo(program).isExecutable()
                                                : !QStandardPaths::findExecutable(program).isEmpty();
    if (found)
        return std::nullopt;
    return Unavailable { QStringLiteral("%1 is not installed (package %2)").arg(program, package), true };
}

std::optional<Unavailable> missingFile(const QString& path, const QString& package)
{
    if (QFileInfo::exists(path))
        return std::nullopt;
    return Unavailable { QStringLiteral("%1 is not installed (package %2)").arg(path, package), true };
}

Unavailable machineCannot(const QString& why)
{
    return { QStringLiteral("This machine cannot run the test: ") + why, false };
}

std::optional<Unavailable> unlessRoot(const QString& why)
{
    if (::geteuid() == 0)
        return std::nullopt;
    return machineCannot(why);
}

bool failsHere(const Unavailable& unavailable)
{
    return unavailable.installedByTestCommand && qEnvironmentVariable("CI") == QLatin1String("true");
}
