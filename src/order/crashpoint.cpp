#include "crashpoint.h"

#include <QtGlobal>

namespace core {
namespace {

std::function<void(CrashPoint)>& installedHook()
{
    static std::function<void(CrashPoint)> hook;
    return hook;
}

} // namespace

void crashPoint(CrashPoint point)
{
    if (const auto& hook = installedHook())
        hook(point);
}

CrashHookForTesting::CrashHookForTesting(std::function<void(CrashPoint)> hook)
{
    Q_ASSERT(!installedHook());
    installedHook() = std::move(hook);
}

CrashHookForTesting::~CrashHookForTesting()
{
    installedHook() = nullptr;
}

} // namespace core
