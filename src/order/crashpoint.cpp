#include "crashpoint.h"

namespace core {
namespace {

CrashHook& installedHook()
{
    static CrashHook hook;
    return hook;
}

} // namespace

void setCrashHook(CrashHook hook)
{
    installedHook() = std::move(hook);
}

void crashPoint(const char* point)
{
    if (const CrashHook& hook = installedHook())
        hook(point);
}

} // namespace core
