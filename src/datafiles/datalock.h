#pragma once

#include <QLockFile>

namespace datafiles {

class DataDirectory;

// One program per data folder: two copies would hand out the same order number
// and overwrite each other's archive files.
enum class DataLock {
    Taken,
    HeldByAnotherProgram,
    Unavailable, // the folder is missing or cannot be written
};

// Takes the lock file in the System folder; a lock left by a program that is no
// longer running (a crash) is taken over.
DataLock takeDataLock(QLockFile& lock);

} // namespace datafiles
