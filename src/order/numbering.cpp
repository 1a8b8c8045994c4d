#include "numbering.h"

#include "archive.h"
#include "order.h"
#include "registration.h"

#include "datafiles/codepage.h"
#include "datafiles/datalock.h"
#include "datafiles/records.h"
#include "datafiles/textfile.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <mutex>
#include <unistd.h>

namespace core {
namespace {

using datafiles::Failure;

// How far the order list has been read for its highest number, so that "Ny"
// reads only what desks added since: the list only grows by lines added at
// its end. A list that is shorter, or whose bytes before that place are not
// the ones read, is read again whole.
struct ListRead
{
    qint64 readTo = 0;
    QByteArray before; // the bytes just before readTo
    qint64 highest = 0;
};

qint64 highestListedNumber(const QString& list)
{
    static std::mutex mutex;
    static QHash<QString, ListRead> reads;
    const std::lock_guard guard(mutex);
    ListRead& read = reads[list];
    datafiles::ReadResult file = datafiles::readWithoutFollowing(list, read.readTo - read.before.size());
    if (read.readTo > 0 && file.ok() && !file.bytes.startsWith(read.before)) {
        read = {};
        file = datafiles::readWithoutFollowing(list);
    }
    if (!file.ok()) {
        read = {};
        return 0;
    }
    const qsizetype skip = read.before.size();
    const qsizetype whole = forEachListedNumber(QByteArrayView(file.bytes).sliced(skip), [&](QByteArrayView number) {
        if (const std::optional<qint64> value = orderNumberValue(QString::fromLatin1(number)))
            read.highest = std::max(read.highest, *value);
    });
    read.readTo += whole;
    const qsizetype end = skip + whole;
    read.before = file.bytes.sliced(std::max<qsizetype>(0, end - 64), std::min<qsizetype>(64, end));
    return read.highest;
}

struct Claim
{
    QString number;
    QString file;
    std::optional<datafiles::DeskRecord> desk;
};

QList<Claim> claims(const datafiles::DataDirectory& data)
{
    QList<Claim> found;
    const QDir folder(data.deskFolder());
    const QString suffix = datafiles::DataDirectory::claimSuffix();
    for (const QString& name : folder.entryList({ u'*' + suffix }, QDir::Files | QDir::System)) {
        const QString file = folder.filePath(name);
        const datafiles::ReadResult read = datafiles::readWithoutFollowing(file);
        if (read.missing)
            continue;
        found.append(
            { name.chopped(suffix.size()), file, read.ok() ? datafiles::DeskRecord::parse(read.bytes) : std::nullopt });
    }
    return found;
}

bool leftByDeskGone(const datafiles::DataDirectory& data, const Claim& claim)
{
    return claim.desk ? datafiles::deskIsGone(data, claim.desk->id) : datafiles::unreadableFileIsOld(claim.file);
}

void removeClaim(const Claim& claim)
{
    ::unlink(QFile::encodeName(claim.file).constData());
}

std::optional<Claim> claimOn(const datafiles::DataDirectory& data, const QString& number)
{
    const std::optional<QString> file = data.claimFile(number);
    if (!file)
        return std::nullopt;
    const datafiles::ReadResult read = datafiles::readWithoutFollowing(*file);
    if (read.missing)
        return std::nullopt;
    return Claim { number, *file, read.ok() ? datafiles::DeskRecord::parse(read.bytes) : std::nullopt };
}

bool ownClaim(const datafiles::DataDirectory& data, const Claim& claim)
{
    return claim.desk && claim.desk->id == data.desk().id();
}

} // namespace

std::optional<qint64> orderNumberValue(const QString& text)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 17)
        return std::nullopt;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    return digits.toLongLong();
}

HighestNumber highestNumberUsed(const datafiles::DataDirectory& data, OwnClaim own)
{
    const QString path = data.orderNumberFile();
    const datafiles::ReadResult file = datafiles::readWholeFile(path);
    if (!file.ok())
        return { 0, file.failure };
    std::optional<qint64> last = orderNumberValue(datafiles::decode1252(file.bytes));
    if (!last)
        return { 0, datafiles::refusedByRule({}, path, QStringLiteral("filen innehåller inget ordernummer")) };
    qint64 highest = std::max(*last, highestListedNumber(data.orderList()));
    for (const Claim& claim : claims(data)) {
        if ((own == OwnClaim::LetGo && ownClaim(data, claim)) || leftByDeskGone(data, claim))
            removeClaim(claim);
        else if (const std::optional<qint64> value = orderNumberValue(claim.number))
            highest = std::max(highest, *value);
    }
    // An order whose registration stopped part-way may be out on paper
    // already: its number is taken, even where the order-number file does
    // not hold it yet.
    if (const std::optional<qint64> journalled = highestJournalledNumber(data))
        highest = std::max(highest, *journalled);
    return { highest, std::nullopt };
}

NextNumber claimNextNumber(const datafiles::DataDirectory& data)
{
    const QString operation = QStringLiteral("läsa det senaste ordernumret");
    const QString path = data.orderNumberFile();
    // A link in its place would hand out numbers from another file, and the
    // printed order could not record its own.
    if (std::optional<Failure> refused = datafiles::refuseLink(path))
        return { {}, refused->during(operation) };
    const datafiles::DataLock lock = datafiles::DataLock::take(data, QStringLiteral("ta fram nästa ordernummer"));
    if (lock.failure())
        return { {}, lock.failure() };
    // A desk that went while its printed order was being registered has its
    // registration completed here; one that cannot be keeps its number.
    completeRegistrationsOfGoneDesks(data);

    const HighestNumber used = highestNumberUsed(data, OwnClaim::LetGo);
    if (used.failure)
        return { {}, used.failure->during(operation) };
    const qint64 highest = used.number;

    QDir().mkpath(data.deskFolder());
    const QByteArray desk = data.desk().record().bytes();
    for (qint64 number = highest + 1;; ++number) {
        const QString text = QString::number(number);
        const datafiles::MadeFile made = datafiles::makeExclusively(*data.claimFile(text), desk);
        if (made.made == datafiles::Made::Made)
            return { text, std::nullopt };
        if (made.made == datafiles::Made::Failed)
            return { {}, made.failure->during(QStringLiteral("reservera ordernumret %1").arg(text)) };
    }
}

bool holdsClaim(const datafiles::DataDirectory& data, const QString& number)
{
    const std::optional<Claim> claim = claimOn(data, number);
    return claim && ownClaim(data, *claim);
}

std::optional<datafiles::DeskRecord> claimedElsewhere(const datafiles::DataDirectory& data, const QString& number)
{
    const std::optional<Claim> claim = claimOn(data, number);
    if (!claim || ownClaim(data, *claim) || leftByDeskGone(data, *claim))
        return std::nullopt;
    if (claim->desk)
        return claim->desk;
    return datafiles::DeskRecord { {}, QStringLiteral("okänd"), {}, 0, QDateTime::currentDateTimeUtc() };
}

void releaseClaim(const datafiles::DataDirectory& data, const QString& number)
{
    if (const std::optional<Claim> claim = claimOn(data, number); claim && ownClaim(data, *claim))
        removeClaim(*claim);
}

void releaseClaims(const datafiles::DataDirectory& data)
{
    for (const Claim& claim : claims(data)) {
        if (ownClaim(data, claim))
            removeClaim(claim);
    }
}

bool isListed(const datafiles::DataDirectory& data, const QString& number)
{
    const datafiles::ReadResult list = datafiles::readWithoutFollowing(data.orderList());
    const QByteArray wanted = datafiles::encode1252(number);
    bool listed = false;
    forEachListedNumber(list.bytes, [&](QByteArrayView listedNumber) { listed = listed || listedNumber == wanted; });
    return listed;
}

void startNewOrder(Order& order, const QString& number, const QDate& today)
{
    const QString date = today.toString(QStringLiteral("yyMMdd"));
    order.setText(Order::OrderNumber, number);
    order.setText(Order::DeliveryDate, date);
    order.setText(Order::OrderDate, date);
    order.setText(Order::PaymentTerms, QStringLiteral("0"));
    order.setText(Order::DeliveryMethod, QStringLiteral("0"));
    order.setText(Order::FreightMethod, QStringLiteral("0"));
    order.setText(Order::VatCode, QStringLiteral("0"));
    order.setText(Order::RegistrationNumber, QString());
    order.setText(Order::Lpl, QStringLiteral("411"));
}

Order newOrderFrom(const Order& printed, const Order& current, const QString& number, const QDate& today)
{
    Order order = current;
    startNewOrder(order, number, today);
    for (Order::Field field : { Order::CustomerNumber, Order::CustomerLine1, Order::CustomerLine2, Order::CustomerLine3,
                                Order::Info, Order::PaymentTerms, Order::DeliveryMethod, Order::FreightMethod,
                                Order::RegistrationNumber, Order::VatCode })
        order.setText(field, printed.text(field));
    order.setLines(printed.lines());
    return order;
}

} // namespace core
