#include "orderstatus.h"

#include "datafiles/codepage.h"
#include "datafiles/datalock.h"
#include "datafiles/records.h"
#include "datafiles/textfile.h"

#include <QSet>

#include <array>

namespace core {
namespace {

const std::array<QByteArrayView, 4> stateNames { "Registrerad", "Levererad", "Fakturerad", "Makulerad" };

std::optional<OrderState> stateNamed(QByteArrayView name)
{
    for (size_t i = 0; i < stateNames.size(); ++i) {
        if (name == stateNames[i])
            return OrderState(i);
    }
    return std::nullopt;
}

size_t placeOf(quint64 key, size_t mask)
{
    // Orders are numbered one after another: neighbouring numbers get
    // neighbouring places, which keeps a look-up of every order in order quick.
    return size_t(key ^ (key >> 24)) & mask;
}

const QString statusOperation = QStringLiteral("spara orderstatus");

} // namespace

QString stateName(OrderState state)
{
    return QString::fromLatin1(stateNames[size_t(state)]);
}

QByteArray statusRecord(const StatusChange& change)
{
    return datafiles::quotedRecord({ change.orderNumber, stateName(change.state), change.when, change.reason });
}

std::optional<OrderState> stateAfter(StatusCommand command, OrderState now, OrderState before)
{
    using S = OrderState;
    switch (command) {
    case StatusCommand::Deliver:
        return now == S::Registered ? std::optional(S::Delivered) : std::nullopt;
    case StatusCommand::Invoice:
        return now == S::Registered || now == S::Delivered ? std::optional(S::Invoiced) : std::nullopt;
    case StatusCommand::Void:
        return now != S::Voided ? std::optional(S::Voided) : std::nullopt;
    case StatusCommand::Undo:
        return now != S::Registered && before != now ? std::optional(before) : std::nullopt;
    }
    return std::nullopt;
}

bool applies(StatusCommand command, OrderState now)
{
    // Undo applies to every state but registered, whatever it goes back to.
    return stateAfter(command, now, OrderState::Registered).has_value();
}

QString ordersNamed(const QStringList& numbers)
{
    return numbers.size() == 1
        ? QStringLiteral("order %1").arg(numbers.first())
        : QStringLiteral("%1 order (%2)").arg(numbers.size()).arg(numbers.join(QStringLiteral(", ")));
}

QString voidedLeftAsTheyAre(const QStringList& voided, StatusCommand command)
{
    const bool one = voided.size() == 1;
    const QString marked
        = command == StatusCommand::Invoice ? QStringLiteral("fakturerad") : QStringLiteral("levererad");
    return QStringLiteral("Order %1 %2 och markeras inte som %3.")
        .arg(voided.join(QStringLiteral(", ")), one ? QStringLiteral("är makulerad") : QStringLiteral("är makulerade"),
             one ? marked : marked + QLatin1Char('e'));
}

std::optional<VoidedOrderQuestion> voidedOrderQuestion(const StatusLog& log, const QString& orderNumber,
                                                       const QString& doing)
{
    if (log.stateOf(orderNumber) != OrderState::Voided)
        return std::nullopt;
    const QList<StatusChange> changes = log.changesOf(orderNumber);
    return VoidedOrderQuestion { QStringLiteral("Makulerad order"),
                                 QStringLiteral("Order %1 är makulerad.\r\nOrsak: %2\r\n\r\nVill du ändå %3?")
                                     .arg(orderNumber, changes.isEmpty() ? QString() : changes.last().reason, doing) };
}

quint64 orderNumberKey(QByteArrayView number)
{
    if (number.isEmpty() || number.size() > 18 || (number.size() > 1 && number.front() == '0'))
        return 0;
    quint64 value = 0;
    for (char c : number) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + quint64(c - '0');
    }
    return value + 1;
}

StatusLog::StatusLog(QByteArrayView bytes)
{
    // About 45 bytes a change, and two changes an order.
    const size_t expected = size_t(bytes.size() / 40 + 16);
    m_changes.reserve(expected);
    growNumbers(expected * 3 / 4);
    m_endsInsideRecord = !take(bytes);
}

namespace {

// "2026-12-07 14:32:05" as the number 20261207143205; none for any other text.
std::optional<quint64> whenDigits(QByteArrayView when)
{
    static constexpr char form[] = "0000-00-00 00:00:00";
    if (when.size() != qsizetype(sizeof(form) - 1))
        return std::nullopt;
    quint64 digits = 0;
    for (qsizetype i = 0; i < when.size(); ++i) {
        const char c = when[i];
        if (form[i] != '0') {
            if (c != form[i])
                return std::nullopt;
        } else if (c < '0' || c > '9') {
            return std::nullopt;
        } else {
            digits = digits * 10 + quint64(c - '0');
        }
    }
    return digits;
}

} // namespace

bool StatusLog::take(QByteArrayView bytes)
{
    datafiles::LineRecordReader reader(bytes, statusFields);
    std::array<datafiles::FieldSpan, statusFields> fields;
    const auto bytesOf = [bytes](const datafiles::FieldSpan& f) {
        return bytes.sliced(f.begin, f.end - f.begin);
    };
    while (reader.next(fields.data())) {
        const std::optional<OrderState> state = stateNamed(bytesOf(fields[1]));
        if (!state)
            continue;
        const QByteArrayView number = bytesOf(fields[0]);
        Latest& latest = latestToChange(number, orderNumberKey(number));
        const auto change = qint32(m_changes.size());
        const QByteArrayView when = bytesOf(fields[2]);
        const std::optional<quint64> digits = whenDigits(when);
        m_changes.push_back({ digits ? *digits : otherWhen, latest.change, *state });
        if (!digits)
            m_otherWhens.insert(change, datafiles::decode1252(when));
        if (fields[3].end > fields[3].begin)
            m_reasons.insert(change, datafiles::decode1252(bytesOf(fields[3])));
        latest.change = change;
        latest.state = *state;
    }
    m_skippedLines += reader.skippedLines();
    return !reader.endsInsideRecord();
}

void StatusLog::add(QByteArrayView records)
{
    // Whole records, appended after the file's last line: the lines passed
    // over are those of the file as it was read.
    const QList<qsizetype> skipped = m_skippedLines;
    take(records);
    m_skippedLines = skipped;
}

QString StatusLog::whenOf(qint32 change) const
{
    const quint64 digits = m_changes[size_t(change)].when;
    if (digits == otherWhen)
        return m_otherWhens.value(change);
    const QString d = QStringLiteral("%1").arg(digits, 14, 10, QLatin1Char('0'));
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(d.mid(0, 4), d.mid(4, 2), d.mid(6, 2), d.mid(8, 2), d.mid(10, 2), d.mid(12, 2));
}

const StatusLog::Latest* StatusLog::latest(QByteArrayView orderNumber, quint64 key) const
{
    if (key == 0) {
        const auto found = m_otherNumbers.constFind(orderNumber.toByteArray());
        return found == m_otherNumbers.cend() ? nullptr : &found.value();
    }
    if (m_keys.empty())
        return nullptr;
    const size_t mask = m_keys.size() - 1;
    for (size_t place = placeOf(key, mask);; place = (place + 1) & mask) {
        if (m_keys[place] == key)
            return &m_latest[place];
        if (m_keys[place] == 0)
            return nullptr;
    }
}

StatusLog::Latest& StatusLog::latestToChange(QByteArrayView orderNumber, quint64 key)
{
    if (key == 0)
        return m_otherNumbers[orderNumber.toByteArray()];
    // At most two places in three taken.
    if (size_t(m_numbers + 1) * 3 > m_keys.size() * 2)
        growNumbers(m_keys.size() * 2);
    const size_t mask = m_keys.size() - 1;
    size_t place = placeOf(key, mask);
    while (m_keys[place] != 0 && m_keys[place] != key)
        place = (place + 1) & mask;
    if (m_keys[place] == 0) {
        m_keys[place] = key;
        ++m_numbers;
    }
    return m_latest[place];
}

void StatusLog::growNumbers(size_t places)
{
    size_t size = 1024;
    while (size < places)
        size *= 2;
    if (size <= m_keys.size())
        return;
    std::vector<quint64> keys(size, 0);
    std::vector<Latest> latest(keys.size());
    const size_t mask = keys.size() - 1;
    for (size_t i = 0; i < m_keys.size(); ++i) {
        if (m_keys[i] == 0)
            continue;
        size_t place = placeOf(m_keys[i], mask);
        while (keys[place] != 0)
            place = (place + 1) & mask;
        keys[place] = m_keys[i];
        latest[place] = m_latest[i];
    }
    m_keys = std::move(keys);
    m_latest = std::move(latest);
}

OrderState StatusLog::stateOf(QByteArrayView orderNumber, quint64 key) const
{
    const Latest* found = latest(orderNumber, key);
    return found ? found->state : OrderState::Registered;
}

OrderState StatusLog::stateOf(const QString& orderNumber) const
{
    const QByteArray bytes = datafiles::encode1252(orderNumber);
    return stateOf(bytes, orderNumberKey(bytes));
}

OrderState StatusLog::stateBefore(const QString& orderNumber) const
{
    const QByteArray bytes = datafiles::encode1252(orderNumber);
    const Latest* found = latest(bytes, orderNumberKey(bytes));
    std::vector<OrderState> newestFirst;
    for (qint32 c = found ? found->change : -1; c >= 0; c = m_changes[size_t(c)].previous)
        newestFirst.push_back(m_changes[size_t(c)].state);
    // The states the order stepped forward through; a step back (an undo)
    // takes off the steps it went back over.
    std::vector<OrderState> steps { OrderState::Registered };
    for (auto state = newestFirst.crbegin(); state != newestFirst.crend(); ++state) {
        const OrderState now = steps.back();
        if (*state == now)
            continue;
        const bool forward = stateAfter(StatusCommand::Deliver, now, now) == *state
            || stateAfter(StatusCommand::Invoice, now, now) == *state
            || stateAfter(StatusCommand::Void, now, now) == *state;
        if (!forward) {
            while (steps.size() > 1 && steps.back() != *state)
                steps.pop_back();
            if (steps.back() == *state)
                continue;
        }
        steps.push_back(*state);
    }
    return steps.size() > 1 ? steps[steps.size() - 2] : OrderState::Registered;
}

QList<StatusChange> StatusLog::changesOf(const QString& orderNumber) const
{
    const QByteArray bytes = datafiles::encode1252(orderNumber);
    const Latest* found = latest(bytes, orderNumberKey(bytes));
    QList<StatusChange> changes;
    for (qint32 c = found ? found->change : -1; c >= 0; c = m_changes[size_t(c)].previous)
        changes.prepend({ orderNumber, m_changes[size_t(c)].state, whenOf(c), m_reasons.value(c) });
    return changes;
}

StatusLogRead readStatusLog(const datafiles::DataDirectory& data)
{
    StatusLogRead read;
    read.file = data.statusFile();
    if (!datafiles::isFile(read.file))
        return read;
    const QString operation = QStringLiteral("läsa orderstatus");
    const std::optional<datafiles::Failure> failure
        = datafiles::readMapped(read.file, [&read](QByteArrayView bytes) { read.log = StatusLog(bytes); });
    if (failure) {
        read.failure = failure->during(operation);
        return read;
    }
    if (read.log.endsInsideRecord())
        read.cutShort = datafiles::endsInsideRecord(operation, read.file);
    if (const QList<qsizetype>& lines = read.log.skippedLines(); !lines.isEmpty()) {
        QStringList numbers;
        for (qsizetype line : lines)
            numbers.append(QString::number(line));
        read.skipped = datafiles::Failure {
            operation,
            read.file,
            QStringLiteral("%1 %2 har fel antal fält och hoppas över; posterna efter %3 läses som de står")
                .arg(lines.size() == 1 ? QStringLiteral("rad") : QStringLiteral("raderna"),
                     numbers.join(QStringLiteral(", ")),
                     lines.size() == 1 ? QStringLiteral("den") : QStringLiteral("dem")),
            {},
            datafiles::FailureKind::DamagedRecord
        };
    }
    return read;
}

StatusUpdate changeStatus(const datafiles::DataDirectory& data, StatusLog& log, const QStringList& orderNumbers,
                          StatusCommand command, const QDateTime& now, const QString& reason)
{
    StatusUpdate update;
    const QString why = command == StatusCommand::Void ? reason.trimmed() : QString();
    if (command == StatusCommand::Void && why.isEmpty()) {
        update.failure = datafiles::refusedByRule(QStringLiteral("makulera ordern"), {},
                                                  QStringLiteral("en makulering måste ha en orsak"));
        return update;
    }
    const QString when = now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QByteArray records;
    QStringList changed;
    QSet<QString> seen;
    for (const QString& number : orderNumbers) {
        if (seen.contains(number))
            continue;
        seen.insert(number);
        const OrderState state = log.stateOf(number);
        const std::optional<OrderState> next = stateAfter(command, state, log.stateBefore(number));
        if (!next) {
            if (state == OrderState::Voided && command != StatusCommand::Void)
                update.voided.append(number);
            continue;
        }
        records += statusRecord({ number, *next, when, why });
        changed.append(number);
    }
    if (records.isEmpty())
        return update;

    const datafiles::DataLock lock = datafiles::DataLock::take(data, statusOperation);
    if (lock.failure()) {
        update.failure = lock.failure();
        return update;
    }
    const datafiles::RecordAppend append = datafiles::appendLineRecords(data.statusFile(), records, statusFields);
    if (append.failure) {
        update.failure = append.failure->during(statusOperation);
        return update;
    }
    // The change itself is saved: what is told is the cut record kept aside.
    if (!append.setAside.isEmpty())
        update.setAside = datafiles::cutRecordSetAside(QStringLiteral("läsa orderstatus till slut"), data.statusFile(),
                                                       append.setAside);
    log.add(records);
    update.changed = changed;
    return update;
}

} // namespace core
