#include "basket.h"

#include "datafiles/records.h"
#include "datafiles/textfile.h"

namespace core {
namespace {

constexpr int basketFields = OrderLine::columnCount;

} // namespace

QString noFileNamed(const QString& orderNumber)
{
    return QStringLiteral("ordernumret \"%1\" kan inte vara en del av ett filnamn").arg(orderNumber);
}

OrderLine lineForBasket(const OrderLine& line)
{
    OrderLine safe;
    for (int i = 0; i < OrderLine::columnCount; ++i)
        safe.texts[size_t(i)] = datafiles::textForRecord(line.texts[size_t(i)]);
    return safe;
}

std::optional<Failure> appendToBasket(const datafiles::DataDirectory& data, const QString& orderNumber,
                                      const OrderLine& line)
{
    const QString operation = QStringLiteral("lägga till orderraden");
    const std::optional<QString> path = data.basketFile(orderNumber);
    if (!path)
        return Failure { operation, {}, noFileNamed(orderNumber) };
    if (const QString reason = datafiles::appendToFile(*path, datafiles::quotedRecord(line.toList()));
        !reason.isEmpty())
        return Failure { operation, *path, reason };
    return std::nullopt;
}

std::optional<Failure> rewriteBasket(const datafiles::DataDirectory& data, const QString& orderNumber,
                                     const QList<OrderLine>& lines)
{
    const QString operation = QStringLiteral("spara orderraderna");
    const std::optional<QString> path = data.basketFile(orderNumber);
    if (!path)
        return Failure { operation, {}, noFileNamed(orderNumber) };
    QByteArray records;
    for (const OrderLine& line : lines)
        records += datafiles::quotedRecord(line.toList());
    if (const QString reason = datafiles::replaceFile(*path, records); !reason.isEmpty())
        return Failure { operation, *path, reason };
    return std::nullopt;
}

BasketRead readBasket(const datafiles::DataDirectory& data, const QString& orderNumber)
{
    BasketRead read;
    const QString operation = QStringLiteral("hämta orderraderna för order %1").arg(orderNumber);
    const std::optional<QString> path = data.basketFile(orderNumber);
    // A number that cannot name a file has no basket file either.
    if (!path) {
        read.missing = true;
        return read;
    }
    read.file = *path;
    if (!datafiles::isFile(*path)) {
        read.missing = true;
        return read;
    }
    const datafiles::ReadResult file = datafiles::readWholeFile(*path);
    if (!file.ok()) {
        read.failure = Failure { operation, *path, file.error };
        return read;
    }
    const QList<QStringList> records = datafiles::readRecords(file.bytes, basketFields, &read.endsInsideRecord);
    if (read.endsInsideRecord)
        read.cutShort = endsInsideRecord(operation, *path);
    read.lines.reserve(records.size());
    for (const QStringList& record : records)
        read.lines.append(OrderLine::fromList(record));
    return read;
}

} // namespace core
