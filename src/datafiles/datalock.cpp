#include "datalock.h"

namespace datafiles {

DataLock takeDataLock(QLockFile& lock)
{
    // Only a lock whose program has gone is stale, however old it is.
    lock.setStaleLockTime(0);
    if (lock.tryLock(0))
        return DataLock::Taken;
    return lock.error() == QLockFile::LockFailedError ? DataLock::HeldByAnotherProgram : DataLock::Unavailable;
}

} // namespace datafiles
