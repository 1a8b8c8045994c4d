#include "datalock.h"

#include "textfile.h"

#include <QFile>
#include <QRandomGenerator>

#include <chrono>
#include <thread>
#include <unistd.h>

namespace datafiles {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto askAfter = 2s;
constexpr auto askAgainAfter = 10s;
constexpr auto giveUpUnaskedAfter = 60s;
constexpr qint64 lockOldAfterSeconds = 30;
constexpr qint64 takeoverOldAfterSeconds = 10;

// What stands at a lock file's path.
struct Seen
{
    bool missing = false;
    bool link = false;
    QByteArray bytes;
    std::optional<DeskRecord> record;
};

Seen look(const QString& file)
{
    const ReadResult read = readWithoutFollowing(file);
    Seen seen;
    seen.missing = read.missing;
    seen.link = read.failure && read.failure->is(FailureKind::LinkRefused);
    seen.bytes = read.bytes;
    seen.record = read.ok() ? DeskRecord::parse(read.bytes) : std::nullopt;
    return seen;
}

void removeFileNamed(const QString& file)
{
    ::unlink(QFile::encodeName(file).constData());
}

// Whether the desk that made the lock is gone. This desk's own name in it,
// when no thread of this desk holds the lock, is a lock it failed to remove.
bool leftByDeskGone(const DataDirectory& data, const QString& file, const Seen& seen, qint64 oldAfterSeconds)
{
    if (!seen.record)
        return unreadableFileIsOld(file);
    const Desk& desk = data.desk();
    if (seen.record->id == desk.id())
        return !desk.holdsLock(data.lockFile());
    const std::optional<DeskName> holder = DeskName::fromId(seen.record->id);
    if (holder && holder->host == desk.name().host)
        return deskIsGone(data, seen.record->id);
    return seen.record->since.secsTo(QDateTime::currentDateTimeUtc()) > oldAfterSeconds
        && deskIsGone(data, seen.record->id);
}

// Takes over a lock left by a desk that is gone: one desk at a time, through
// a second file made the same way, removes the lock, and only while it still
// holds what was judged, so that a lock just made by a third desk stays.
void takeOver(const DataDirectory& data, const QString& file, const QByteArray& judged, const QByteArray& record)
{
    const QString takeover = data.lockTakeoverFile();
    const MadeFile made = makeExclusively(takeover, record);
    if (made.made == Made::AlreadyThere) {
        const Seen other = look(takeover);
        if (!other.link && leftByDeskGone(data, takeover, other, takeoverOldAfterSeconds))
            removeFileNamed(takeover);
        return;
    }
    if (made.made != Made::Made)
        return;
    const Seen now = look(file);
    if (!now.missing && !now.link && now.bytes == judged)
        removeFileNamed(file);
    removeFileNamed(takeover);
}

DeskRecord holderOf(const Seen& seen)
{
    if (seen.record)
        return *seen.record;
    // Being written, or damaged: the desk is not known yet.
    return { {}, QStringLiteral("okänd"), {}, 0, QDateTime::currentDateTimeUtc() };
}

} // namespace

DataLock::DataLock(const DataDirectory& data, std::optional<Failure> failure)
    : m_desk(data.deskPointer())
    , m_file(data.lockFile())
    , m_failure(std::move(failure))
{
}

DataLock::DataLock(DataLock&& other) noexcept
    : m_desk(std::move(other.m_desk))
    , m_file(std::move(other.m_file))
    , m_record(std::move(other.m_record))
    , m_held(std::exchange(other.m_held, false))
    , m_failure(std::move(other.m_failure))
{
}

DataLock::~DataLock()
{
    release();
}

DataLock DataLock::take(const DataDirectory& data, const QString& operation)
{
    Desk& desk = data.desk();
    const QString file = data.lockFile();
    DataLock lock(data, std::nullopt);
    if (desk.countLock(file, 0) > 0) {
        desk.countLock(file, 1);
        lock.m_held = true;
        return lock;
    }
    lock.m_record = desk.record().bytes();
    const Clock::time_point start = Clock::now();
    Clock::time_point askAt = start + askAfter;
    auto pause = 500us;
    for (;;) {
        const MadeFile made = makeExclusively(file, lock.m_record);
        if (made.made == Made::Made) {
            desk.countLock(file, 1);
            lock.m_held = true;
            return lock;
        }
        if (made.made == Made::Failed)
            return DataLock(data, made.failure->during(operation));
        const Seen seen = look(file);
        if (seen.link)
            return DataLock(data, linkRefused(operation, file));
        if (seen.missing)
            continue;
        if (leftByDeskGone(data, file, seen, lockOldAfterSeconds)) {
            takeOver(data, file, seen.bytes, lock.m_record);
            continue;
        }
        const Clock::time_point now = Clock::now();
        if (now >= askAt) {
            const DeskRecord holder = holderOf(seen);
            if (const Desk::LockWait wait = desk.lockWait()) {
                const auto freed = [&] {
                    const Seen again = look(file);
                    return again.missing || again.bytes != seen.bytes
                        || leftByDeskGone(data, file, again, lockOldAfterSeconds);
                };
                if (!wait(holder, freed))
                    return DataLock(data,
                                    Failure { operation,
                                              file,
                                              QStringLiteral("väntan på låset avbröts; det hålls av skrivbordet på %1")
                                                  .arg(holder.description()),
                                              {},
                                              FailureKind::Cancelled });
                askAt = Clock::now() + askAgainAfter;
            } else if (now - start >= giveUpUnaskedAfter) {
                return DataLock(
                    data,
                    Failure {
                        operation,
                        file,
                        QStringLiteral("ett annat skrivbord håller låset på datamappen: %1").arg(holder.description()),
                        {},
                        FailureKind::HeldByAnotherDesk });
            }
        }
        // A little at random, so that desks that wait together do not try together.
        const auto jitter = std::chrono::microseconds(QRandomGenerator::global()->bounded(qint64(pause.count()) + 1));
        std::this_thread::sleep_for(pause / 2 + jitter / 2);
        pause = std::min<std::chrono::microseconds>(pause * 2, 20ms);
    }
}

void DataLock::release()
{
    if (!m_held)
        return;
    m_held = false;
    if (m_desk->countLock(m_file, -1) > 0)
        return;
    // A lock that another desk took over meanwhile is that desk's now.
    const Seen seen = look(m_file);
    if (!seen.missing && !seen.link && seen.bytes == m_record)
        removeFileNamed(m_file);
}

std::optional<DeskRecord> lockHolder(const DataDirectory& data)
{
    const Seen seen = look(data.lockFile());
    if (seen.missing || seen.link || leftByDeskGone(data, data.lockFile(), seen, lockOldAfterSeconds))
        return std::nullopt;
    return holderOf(seen);
}

} // namespace datafiles
