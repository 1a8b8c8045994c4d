#pragma once

#include "datadirectory.h"
#include "desks.h"
#include "failure.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace datafiles {

// The folder's lock. A desk holds it only while it changes a file the desks
// share (the order-number file, the order list, the status log, a register,
// the customers), so that two desks never change one at once; a desk that
// finds it held waits. It is a file, System/orderregistrering.lock, made with
// O_CREAT|O_EXCL and holding the desk that made it and when: a share mounted
// on two machines passes neither fcntl nor flock locks from one to the other.
//
// A lock left by a desk that is gone is taken over: on this machine when its
// process no longer runs, on another when the lock is older than 30 s and
// that desk's presence file has not been refreshed for 90 s. A desk that has
// waited 2 s asks, through its lock wait, whether to wait on; a wait given up
// fails with the kind Cancelled, one that outlasts a minute without being
// asked fails with HeldByAnotherDesk.
class DataLock
{
public:
    // Takes the lock for the operation, which a failure is told as.
    static DataLock take(const DataDirectory& data, const QString& operation);

    DataLock(DataLock&& other) noexcept;
    DataLock& operator=(DataLock&&) = delete;
    ~DataLock();

    const std::optional<Failure>& failure() const { return m_failure; }
    // Lets go of the lock before the guard goes.
    void release();

private:
    DataLock(const DataDirectory& data, std::optional<Failure> failure);

    std::shared_ptr<Desk> m_desk;
    QString m_file;
    QByteArray m_record; // what this desk wrote into the lock file
    bool m_held = false;
    std::optional<Failure> m_failure;
};

// The desk that holds the folder's lock; none when no desk does.
std::optional<DeskRecord> lockHolder(const DataDirectory& data);

} // namespace datafiles
