#pragma once

#include <functional>

// Points in the print command and the registration at which the tests can end
// the program abruptly, to see that the next start puts everything right. The
// program itself never sets a hook, and then a point does nothing.
namespace core {

using CrashHook = std::function<void(const char* point)>;

void setCrashHook(CrashHook hook);
void crashPoint(const char* point);

} // namespace core
