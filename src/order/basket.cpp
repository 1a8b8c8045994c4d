#include "basket.h"

#include "datafiles/records.h"
#include "datafiles/textfile.h"

namespace core {
namespace {

constexpr int basketFields = OrderLine::columnCount;

} // namespace

OrderLine lineForBasket(const OrderLine& line)
{
    OrderLine safe;
    for (int i = 0; i < OrderLine::columnCount; ++i)
        safe.texts[size_t(i)] = datafiles::textForRecord(line.texts[size_t(i)]);
    return safe;
}

QByteArray basketRecords(const QList<OrderLine>& lines)
{
    QByteArray records;
    for (const OrderLine& line : lines)
        records += datafiles::quotedRecord(line.toList());
    return records;
}

BasketAppend appendToBasket(const datafiles::DataDirectory& data, const QString& orderNumber,
                            const QList<OrderLine>& lines)
{
    BasketAppend append;
    const QString operation = QStringLiteral("lägga till orderraden");
    const std::optional<QString> path = data.basketFile(orderNumber);
    if (!path) {
        append.failure = datafiles::refusedByRule(operation, {}, datafiles::noFileNamed(orderNumber));
        return append;
    }
    const datafiles::RecordAppend appended = datafiles::appendRecords(*path, basketRecords(lines), basketFields);
    if (appended.failure)
        append.failure = appended.failure->during(operation);
    if (!appended.setAside.isEmpty())
        append.setAside = datafiles::cutRecordSetAside(
            QStringLiteral("läsa orderraderna för order %1 till slut").arg(orderNumber), *path, appended.setAside);
    return append;
}

std::optional<datafiles::Failure> rewriteBasket(const datafiles::DataDirectory& data, const QString& orderNumber,
                                                const QList<OrderLine>& lines)
{
    const QString operation = QStringLiteral("spara orderraderna");
    const std::optional<QString> path = data.basketFile(orderNumber);
    if (!path)
        return datafiles::refusedByRule(operation, {}, datafiles::noFileNamed(orderNumber));
    if (std::optional<datafiles::Failure> failure = datafiles::replaceFile(*path, basketRecords(lines)))
        return failure->during(operation);
    return std::nullopt;
}

namespace {

BasketRead readLines(const std::optional<QString>& path, const QString& orderNumber)
{
    BasketRead read;
    const QString operation = QStringLiteral("hämta orderraderna för order %1").arg(orderNumber);
    // A number that cannot name a file has no basket file either.
    if (!path) {
        read.missing = true;
        return read;
    }
    read.file = *path;
    const datafiles::ReadResult file = datafiles::readWholeFile(*path);
    if (file.missing) {
        read.missing = true;
        return read;
    }
    if (!file.ok()) {
        read.failure = file.failure->during(operation);
        return read;
    }
    const datafiles::RecordTable table = datafiles::RecordTable::parse(file.bytes, basketFields);
    if (table.endsInsideRecord())
        read.cutShort = datafiles::endsInsideRecord(operation, *path);
    read.lines.reserve(table.recordCount());
    for (qsizetype r = 0; r < table.recordCount(); ++r)
        read.lines.append(OrderLine::fromList(table.record(r)));
    return read;
}

} // namespace

BasketRead readBasket(const datafiles::DataDirectory& data, const QString& orderNumber)
{
    return readLines(data.basketFile(orderNumber), orderNumber);
}

BasketRead readPrintedLines(const datafiles::DataDirectory& data, const QString& orderNumber)
{
    const std::optional<QString> archived = data.archiveLinesFile(orderNumber);
    if (archived && datafiles::isFile(*archived))
        return readLines(archived, orderNumber);
    return readBasket(data, orderNumber);
}

} // namespace core
