#include "desks.h"

#include "codepage.h"
#include "datadirectory.h"
#include "folderrights.h"
#include "textfile.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace datafiles {
namespace {

constexpr qint64 presenceGoneAfterSeconds = 90;
constexpr qint64 unreadableGoneAfterSeconds = 30;
constexpr auto refreshInterval = std::chrono::seconds(30);

// The machine's name as it stands in a desk's name: letters, digits, dots,
// dashes and underscores.
QString thisHost()
{
    static const QString host = [] {
        QString name = QSysInfo::machineHostName();
        for (QChar& c : name) {
            if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'.' && c != u'-' && c != u'_')
                c = u'_';
        }
        return name.isEmpty() ? QStringLiteral("dator") : name;
    }();
    return host;
}

// When the process started, in clock ticks since the machine started; 0 where
// the system does not say.
qint64 processStart(qint64 process)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(process));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    // The fields after the program's name, which may hold blanks, in brackets.
    const qsizetype nameEnd = line.lastIndexOf(')');
    if (nameEnd < 0)
        return 0;
    const QList<QByteArray> fields = line.mid(nameEnd + 2).split(' ');
    // The start time is the 22nd field of the line; the list begins at the 3rd.
    return fields.size() > 19 ? fields.at(19).toLongLong() : 0;
}

bool processRuns(qint64 process, qint64 started)
{
    if (process <= 0)
        return false;
    if (::kill(pid_t(process), 0) != 0 && errno == ESRCH)
        return false;
    // The number may have gone to another process since.
    const qint64 now = processStart(process);
    return started == 0 || now == 0 || now == started;
}

QDateTime modified(const QString& path)
{
    struct stat status;
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return QDateTime::fromMSecsSinceEpoch(qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000,
                                          Qt::UTC);
}

} // namespace

std::optional<DeskName> DeskName::fromId(const QString& id)
{
    const QStringList parts = id.split(u'-');
    if (parts.size() < 4)
        return std::nullopt;
    bool processOk = false;
    bool startOk = false;
    bool numberOk = false;
    DeskName name;
    name.id = id;
    name.host = parts.mid(0, parts.size() - 3).join(u'-');
    name.process = parts.at(parts.size() - 3).toLongLong(&processOk);
    name.processStart = parts.at(parts.size() - 2).toLongLong(&startOk);
    parts.last().toInt(&numberOk);
    if (name.host.isEmpty() || !processOk || !startOk || !numberOk)
        return std::nullopt;
    return name;
}

QByteArray DeskRecord::bytes() const
{
    const QString text = QStringLiteral("skrivbord=%1\r\ndator=%2\r\nkonto=%3\r\nprocess=%4\r\nsedan=%5\r\n")
                             .arg(id, host, account)
                             .arg(process)
                             .arg(since.toUTC().toString(Qt::ISODateWithMs));
    return encode1252(text);
}

std::optional<DeskRecord> DeskRecord::parse(QByteArrayView bytes)
{
    DeskRecord record;
    bool hasProcess = false;
    for (const QString& line : decode1252(bytes).split(QStringLiteral("\r\n"))) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        const QStringView key = QStringView(line).first(equals);
        const QString value = line.mid(equals + 1);
        if (key == u"skrivbord")
            record.id = value;
        else if (key == u"dator")
            record.host = value;
        else if (key == u"konto")
            record.account = value;
        else if (key == u"process")
            record.process = value.toLongLong(&hasProcess);
        else if (key == u"sedan")
            record.since = QDateTime::fromString(value, Qt::ISODateWithMs);
    }
    if (record.id.isEmpty() || !hasProcess || !record.since.isValid())
        return std::nullopt;
    return record;
}

QString DeskRecord::description() const
{
    return QStringLiteral("datorn %1 (konto %2, process %3), sedan %4")
        .arg(host, account.isEmpty() ? QStringLiteral("okänt") : account)
        .arg(process)
        .arg(since.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

Desk::Desk(int number)
{
    const qint64 process = ::getpid();
    m_name.host = thisHost();
    m_name.process = process;
    m_name.processStart = processStart(process);
    m_name.id = QStringLiteral("%1-%2-%3-%4").arg(m_name.host).arg(process).arg(m_name.processStart).arg(number);
    m_machine = QSysInfo::machineHostName();
    m_account = accountName();
}

const std::shared_ptr<Desk>& Desk::ofProcess()
{
    static const std::shared_ptr<Desk> desk(new Desk(0));
    return desk;
}

std::shared_ptr<Desk> Desk::another()
{
    static std::atomic<int> made { 0 };
    return std::shared_ptr<Desk>(new Desk(++made));
}

DeskRecord Desk::record(const QDateTime& since) const
{
    return { m_name.id, m_machine, m_account, m_name.process, since };
}

void Desk::setLockWait(LockWait wait)
{
    const std::lock_guard guard(m_mutex);
    m_lockWait = std::move(wait);
}

Desk::LockWait Desk::lockWait() const
{
    const std::lock_guard guard(m_mutex);
    return m_lockWait;
}

int Desk::countLock(const QString& lockFile, int by)
{
    const std::lock_guard guard(m_mutex);
    const std::pair key { lockFile, std::this_thread::get_id() };
    const int count = m_held[key] += by;
    if (count <= 0)
        m_held.erase(key);
    return count;
}

bool Desk::holdsLock(const QString& lockFile) const
{
    const std::lock_guard guard(m_mutex);
    return std::any_of(m_held.begin(), m_held.end(), [&](const auto& held) { return held.first.first == lockFile; });
}

bool deskIsGone(const DataDirectory& data, const QString& deskId)
{
    const std::optional<DeskName> name = DeskName::fromId(deskId);
    if (!name)
        return true;
    if (name->host == thisHost())
        return !processRuns(name->process, name->processStart);
    const QDateTime refreshed = modified(data.presenceFile(deskId));
    return !refreshed.isValid() || refreshed.secsTo(QDateTime::currentDateTimeUtc()) > presenceGoneAfterSeconds;
}

bool unreadableFileIsOld(const QString& path)
{
    const QDateTime made = modified(path);
    return made.isValid() && made.secsTo(QDateTime::currentDateTimeUtc()) > unreadableGoneAfterSeconds;
}

QList<DeskRecord> otherDesks(const DataDirectory& data)
{
    QList<DeskRecord> desks;
    const QDir folder(data.deskFolder());
    const QString own = data.desk().id();
    for (const QString& name :
         folder.entryList({ u'*' + DataDirectory::presenceSuffix() }, QDir::Files | QDir::System, QDir::Name)) {
        const QString id = name.chopped(DataDirectory::presenceSuffix().size());
        if (id == own || deskIsGone(data, id))
            continue;
        const ReadResult read = readWithoutFollowing(folder.filePath(name));
        std::optional<DeskRecord> record = read.ok() ? DeskRecord::parse(read.bytes) : std::nullopt;
        if (!record) {
            const std::optional<DeskName> named = DeskName::fromId(id);
            record = DeskRecord { id, named ? named->host : id, {}, named ? named->process : 0, {} };
        }
        desks.append(*record);
    }
    return desks;
}

QString describeDesks(const QList<DeskRecord>& desks)
{
    QStringList lines;
    for (const DeskRecord& desk : desks)
        lines.append(desk.description());
    return lines.join(QStringLiteral("\r\n"));
}

bool touchFile(const QString& file, const QDateTime& when)
{
    const qint64 ms = when.toMSecsSinceEpoch();
    const timespec time { time_t(ms / 1000), long(ms % 1000) * 1000000 };
    const timespec times[2] = { time, time };
    return ::utimensat(AT_FDCWD, QFile::encodeName(file).constData(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

DeskPresence::DeskPresence(const DataDirectory& data)
    : m_data(std::make_unique<DataDirectory>(data))
    , m_file(data.presenceFile(data.desk().id()))
    , m_record(data.desk().record().bytes())
{
}

DeskPresence::~DeskPresence()
{
    {
        const std::lock_guard guard(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_refresher.joinable())
        m_refresher.join();
    ::unlink(QFile::encodeName(m_file).constData());
}

std::optional<Failure> DeskPresence::announce()
{
    const QString operation = QStringLiteral("anmäla skrivbordet i datamappen");
    QDir().mkpath(m_data->deskFolder());
    if (std::optional<Failure> refused = refuseLink(m_file))
        return refused->during(operation);
    // A file of this desk's name can only be left from before a restore of
    // this desk's own.
    ::unlink(QFile::encodeName(m_file).constData());
    const MadeFile made = makeExclusively(m_file, m_record);
    if (made.made == Made::Failed)
        return made.failure->during(operation);
    if (!m_refresher.joinable())
        m_refresher = std::thread(&DeskPresence::refreshEvery30Seconds, this);
    return std::nullopt;
}

void DeskPresence::refreshEvery30Seconds()
{
    std::unique_lock guard(m_mutex);
    while (!m_wake.wait_for(guard, refreshInterval, [this] { return m_stopping; })) {
        // A presence file removed meanwhile (another desk took this one for
        // gone) is put back.
        if (!touchFile(m_file) && errno == ENOENT && QFile::exists(m_data->deskFolder()))
            makeExclusively(m_file, m_record);
    }
}

} // namespace datafiles
