#include "archive.h"

#include "basket.h"

#include "datafiles/records.h"
#include "datafiles/textfile.h"

#include <QDir>

namespace core {
namespace {

constexpr int orderListFields = 4;

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Reads the plain lines of an archive file into the order's fields, in order.
void readArchiveFile(const std::optional<QString>& path, Order& order, std::initializer_list<Order::Field> fields,
                     QStringList& problems)
{
    if (!path)
        return;
    if (!datafiles::isFile(*path)) {
        problems.append(QStringLiteral("Filen %1 saknas.").arg(shown(*path)));
        return;
    }
    const datafiles::ReadResult file = datafiles::readWholeFile(*path);
    if (!file.ok()) {
        problems.append(QStringLiteral("Filen %1 kan inte läsas: %2.").arg(shown(*path), file.error));
        return;
    }
    const QStringList lines = datafiles::readLines(file.bytes);
    qsizetype i = 0;
    for (Order::Field field : fields) {
        if (i < lines.size())
            order.setText(field, lines.at(i));
        ++i;
    }
    if (lines.size() < qsizetype(fields.size()) || !file.bytes.endsWith("\r\n"))
        problems.append(QStringLiteral("Filen %1 är avkortad.").arg(shown(*path)));
}

} // namespace

OrderListRead readOrderList(const datafiles::DataDirectory& data)
{
    OrderListRead read;
    read.file = data.orderList();
    if (!datafiles::isFile(read.file)) {
        read.missing = true;
        return read;
    }
    const QString operation = QStringLiteral("läsa listan över utskrivna order");
    const datafiles::ReadResult file = datafiles::readWholeFile(read.file);
    if (!file.ok()) {
        read.failure = Failure { operation, read.file, file.error };
        return read;
    }
    const datafiles::RecordTable table = datafiles::RecordTable::parse(file.bytes, orderListFields);
    read.entries.reserve(table.recordCount());
    for (qsizetype r = 0; r < table.recordCount(); ++r)
        read.entries.append({ table.field(r, 0), table.field(r, 1), table.field(r, 2), table.field(r, 3) });
    read.endsInsideRecord = table.endsInsideRecord();
    if (read.endsInsideRecord)
        read.cutShort = endsInsideRecord(operation, read.file);
    return read;
}

ArchivedOrder readArchivedOrder(const datafiles::DataDirectory& data, const QString& orderNumber)
{
    ArchivedOrder archived;
    Order& order = archived.order;
    order.setText(Order::OrderNumber, orderNumber);
    if (!datafiles::DataDirectory::namesFileInside(orderNumber)) {
        archived.problems.append(noFileNamed(orderNumber) + QLatin1Char('.'));
        return archived;
    }
    readArchiveFile(
        data.archiveCustomerFile(orderNumber), order,
        { Order::CustomerNumber, Order::CustomerLine1, Order::CustomerLine2, Order::CustomerLine3, Order::Info },
        archived.problems);
    readArchiveFile(data.archiveOrderHeadFile(orderNumber), order,
                    { Order::OrderNumber, Order::DeliveryDate, Order::OrderDate, Order::PaymentTerms,
                      Order::RegistrationNumber, Order::FreightMethod, Order::DeliveryMethod, Order::VatCode },
                    archived.problems);
    // The head file names the order by the number it was printed with, which is
    // the number it is listed and filed under.
    order.setText(Order::OrderNumber, orderNumber);

    const BasketRead basket = readBasket(data, orderNumber);
    order.setLines(basket.lines);
    if (basket.failure)
        archived.problems.append(
            QStringLiteral("Filen %1 kan inte läsas: %2.").arg(shown(basket.file), basket.failure->reason));
    else if (basket.missing)
        archived.problems.append(
            QStringLiteral("Filen %1 saknas: ordern har inga sparade orderrader.").arg(shown(basket.file)));
    else if (basket.endsInsideRecord)
        archived.problems.append(
            QStringLiteral("Filen %1 är avkortad: den sista orderraden saknas.").arg(shown(basket.file)));
    return archived;
}

} // namespace core
