#pragma once

#include "failure.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// Several desks on one data folder. A desk is the program running at one
// machine on one System folder: several may run at once, on one machine or on
// several that share the folder. Each leaves its name in the files it uses to
// keep out of the others' way: its presence file in System/Skrivbord, the
// folder's lock while it changes a shared file, and the claim on the order
// number it is filling in. So a desk can always tell whether the desk that
// left one of them is still there.
namespace datafiles {

class DataDirectory;

// A desk's name, "<machine>-<process>-<start>-<n>": the machine's host name,
// the process and the time it started (in the system's ticks since boot, so
// that a process number used again is not taken for the old one), and which
// desk of that process it is (a program has one; tests make more).
struct DeskName
{
    QString id;
    QString host;
    qint64 process = 0;
    qint64 processStart = 0;

    static std::optional<DeskName> fromId(const QString& id);
};

// What a desk writes into its presence file, the lock and a claim: who it is,
// and since when (it started, took the lock, made the claim).
struct DeskRecord
{
    QString id;
    QString host;
    QString account;
    qint64 process = 0;
    QDateTime since;

    QByteArray bytes() const;
    static std::optional<DeskRecord> parse(QByteArrayView bytes);
    // The desk as the operator is told of it: "datorn kassa1 (konto anna,
    // process 4711), sedan 14:30:05".
    QString description() const;
};

class Desk
{
public:
    // The desk of this program. A data folder given no desk of its own
    // works as this one.
    static const std::shared_ptr<Desk>& ofProcess();
    // A further desk in this process, with a name of its own.
    static std::shared_ptr<Desk> another();

    const DeskName& name() const { return m_name; }
    const QString& id() const { return m_name.id; }
    DeskRecord record(const QDateTime& since = QDateTime::currentDateTimeUtc()) const;

    // What the desk does once it has waited 2 s for the lock: told which desk
    // holds it, it answers true to wait on and false to give up. `freed`
    // tells whether the lock has come free meanwhile, so that a box can close
    // by itself. Without one, the desk waits on for a minute, then gives up.
    using LockWait = std::function<bool(const DeskRecord& holder, const std::function<bool()>& freed)>;
    void setLockWait(LockWait wait);
    LockWait lockWait() const;

    // How many times this thread holds the lock of the file, after changing
    // it by `by`: a change that takes the lock inside another that holds it
    // goes on under that one.
    int countLock(const QString& lockFile, int by);
    // Whether any thread of the desk holds it.
    bool holdsLock(const QString& lockFile) const;

private:
    explicit Desk(int number);

    DeskName m_name;
    QString m_machine; // as the operator knows it
    QString m_account;
    mutable std::mutex m_mutex;
    LockWait m_lockWait;
    std::map<std::pair<QString, std::thread::id>, int> m_held;
};

// Whether the desk of that name has gone: on this machine its process no
// longer runs; on another, its presence file is missing or has not been
// refreshed for 90 s.
bool deskIsGone(const DataDirectory& data, const QString& deskId);
// A file a desk made, whose record cannot be read (being written, or
// damaged), counts as left by a desk that is gone once it is 30 s old.
bool unreadableFileIsOld(const QString& path);

// The desks that are working on the folder besides this one.
QList<DeskRecord> otherDesks(const DataDirectory& data);

// The desks' names for the operator, one a line.
QString describeDesks(const QList<DeskRecord>& desks);

// The desk's presence in System/Skrivbord: its file made when the desk starts
// (with O_CREAT|O_EXCL), refreshed every 30 s by a thread of its own, so that
// a busy window never makes the desk look gone, and removed when it closes.
class DeskPresence
{
public:
    explicit DeskPresence(const DataDirectory& data);
    ~DeskPresence();
    DeskPresence(const DeskPresence&) = delete;
    DeskPresence& operator=(const DeskPresence&) = delete;

    // Puts the presence file in place; again after a restore has put
    // another System folder in place.
    std::optional<Failure> announce();

private:
    void refreshEvery30Seconds();

    std::unique_ptr<DataDirectory> m_data;
    QString m_file;
    QByteArray m_record;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::thread m_refresher;
};

// Sets the file's time, not through a link: a desk's presence is refreshed
// so.
bool touchFile(const QString& file, const QDateTime& when = QDateTime::currentDateTimeUtc());

} // namespace datafiles
