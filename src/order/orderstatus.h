#pragma once

#include "datafiles/datadirectory.h"
#include "datafiles/failure.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Where a printed order has got to. Printing registers it; the operator marks
// it delivered, then invoiced (an order invoiced at once counts as delivered
// too), or voids it, with a reason, at any time. A change is undone by setting
// the state back. Nothing is deleted: the changes are kept in the status file
// Order/status.dbf, a quoted record a change (order number, state, date and
// time, the reason for a void), only ever appended to. The last record for a
// number is the order's state; an order without one is registered.
namespace core {

enum class OrderState : quint8 { Registered, Delivered, Invoiced, Voided };

// "Registrerad", "Levererad", "Fakturerad", "Makulerad": as the operator reads
// them and the status file holds them.
QString stateName(OrderState state);

inline constexpr int statusFields = 4;

// One record of the status file.
struct StatusChange
{
    QString orderNumber;
    OrderState state = OrderState::Registered;
    QString when; // "2026-12-07 14:32:05"
    QString reason; // why the order was voided

    bool operator==(const StatusChange&) const = default;
};

QByteArray statusRecord(const StatusChange& change);

// The operator's commands, each for one order or several at once. Undo sets
// the state back to the one the order had before its last change, a change
// already undone not counting: an order invoiced straight from registered
// goes back to registered, not to a delivered it never was.
enum class StatusCommand { Deliver, Invoice, Void, Undo };

// The state the command takes an order to from the state it has; none when
// the command does not apply. `before` is where an undo goes back to.
std::optional<OrderState> stateAfter(StatusCommand command, OrderState now, OrderState before);
bool applies(StatusCommand command, OrderState now);

// "order 1042", or "2 order (1042, 1043)": the orders a command is about to
// change, as a question names them.
QString ordersNamed(const QStringList& numbers);
// What is told of voided orders that a command leaves as they are: "Order
// 1043 är makulerad och markeras inte som levererad."
QString voidedLeftAsTheyAre(const QStringList& voided, StatusCommand command);

// What the operator is asked before a voided order is printed again, copied
// or sent: titled "Makulerad order", it names the order and why it was voided
// and asks whether to go on `doing` ("starta en ny order från den") anyway.
struct VoidedOrderQuestion
{
    QString title;
    QString text;
};

class StatusLog;
// None for an order that is not voided.
std::optional<VoidedOrderQuestion> voidedOrderQuestion(const StatusLog& log, const QString& orderNumber,
                                                       const QString& doing);

// An order number's key in the status tables: the number plus one for plain
// digits as the program hands numbers out ("1042", not "01042"); 0 for any
// other text, which is then looked up by its bytes.
quint64 orderNumberKey(QByteArrayView number);

// The changes of the status file as read, and those made since, with the
// state of each order they name.
class StatusLog
{
public:
    StatusLog() = default;
    // The status file's bytes, one record a line; a record it ends inside is
    // left out, and so is a record whose state is none of the four, and a line
    // of more or fewer fields than a record's, which shifts no later record.
    explicit StatusLog(QByteArrayView bytes);

    bool endsInsideRecord() const { return m_endsInsideRecord; }
    // The lines of the file passed over for their number of fields, from 1.
    const QList<qsizetype>& skippedLines() const { return m_skippedLines; }
    qsizetype changeCount() const { return qsizetype(m_changes.size()); }

    OrderState stateOf(const QString& orderNumber) const;
    // The same for an order number as the order list holds it, with its key.
    OrderState stateOf(QByteArrayView orderNumber, quint64 key) const;
    // The state the order had before its last change not undone since: what
    // an undo sets it back to.
    OrderState stateBefore(const QString& orderNumber) const;
    // The order's changes, oldest first.
    QList<StatusChange> changesOf(const QString& orderNumber) const;

    // Takes in whole records just appended to the file.
    void add(QByteArrayView records);

private:
    // A change as it is kept: of a status file of two million changes, the
    // bytes are not.
    struct Change
    {
        quint64 when; // the digits of "2026-12-07 14:32:05", or otherWhen
        qint32 previous; // the order's change before it; -1 for none
        OrderState state;
    };
    static constexpr quint64 otherWhen = ~quint64(0);
    struct Latest
    {
        qint32 change = -1;
        OrderState state = OrderState::Registered;
    };

    // Reads the records; false when the bytes end inside one.
    bool take(QByteArrayView bytes);
    const Latest* latest(QByteArrayView orderNumber, quint64 key) const;
    Latest& latestToChange(QByteArrayView orderNumber, quint64 key);
    void growNumbers(size_t places);
    QString whenOf(qint32 change) const;

    std::vector<Change> m_changes;
    QHash<qint32, QString> m_reasons; // of the changes that give one
    QHash<qint32, QString> m_otherWhens; // a date and time not written as the program writes it
    // The latest change of each plain order number, by its key: open
    // addressing, so that a million orders take one look each.
    std::vector<quint64> m_keys; // 0: a free place
    std::vector<Latest> m_latest;
    qsizetype m_numbers = 0;
    QHash<QByteArray, Latest> m_otherNumbers;
    QList<qsizetype> m_skippedLines;
    bool m_endsInsideRecord = false;
};

struct StatusLogRead
{
    StatusLog log;
    QString file;
    std::optional<datafiles::Failure> failure; // the file is there but cannot be read
    std::optional<datafiles::Failure> cutShort; // it ends inside a record: what to tell the operator
    std::optional<datafiles::Failure> skipped; // lines passed over: what to tell the operator
};

// A missing status file is an empty log: no order has changed yet.
StatusLogRead readStatusLog(const datafiles::DataDirectory& data);

struct StatusUpdate
{
    QStringList changed; // the orders whose state changed
    QStringList voided; // a voided order is neither delivered nor invoiced
    std::optional<datafiles::Failure> failure; // nothing changed
    // The status file ended inside a record and was cut back, after its last
    // whole line, before the change was added: told, though the change is saved.
    std::optional<datafiles::Failure> setAside;
};

// Applies the command to each order it applies to, at `now`: their records go
// into the status file in one append, synced to the disk, and then into the
// log. A void needs a reason.
StatusUpdate changeStatus(const datafiles::DataDirectory& data, StatusLog& log, const QStringList& orderNumbers,
                          StatusCommand command, const QDateTime& now, const QString& reason = {});

} // namespace core
