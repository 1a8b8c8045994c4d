#pragma once

#include <QtGlobal>

#include <functional>

namespace office {

// Told how far long work has come, in the work's own units (orders, bytes);
// answers false when the operator asked to stop.
using Progress = std::function<bool(qint64 done, qint64 total)>;

// Calls the progress, if any; false when the work is to stop.
inline bool goOn(const Progress& progress, qint64 done, qint64 total)
{
    return !progress || progress(done, total);
}

} // namespace office
