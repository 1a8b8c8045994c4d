#include "archive.h"

#include "basket.h"

#include "datafiles/codepage.h"
#include "datafiles/records.h"
#include "datafiles/textfile.h"

#include <QDir>

#include <array>

namespace core {
namespace {

using Field = Order::Field;

// The fields of the two archive files, a plain line each, in file order.
constexpr std::array<Field, 5> customerFileFields { Field::CustomerNumber, Field::CustomerLine1, Field::CustomerLine2,
                                                    Field::CustomerLine3, Field::Info };
constexpr std::array<Field, 8> headFileFields { Field::OrderNumber,        Field::DeliveryDate,
                                                Field::OrderDate,          Field::PaymentTerms,
                                                Field::RegistrationNumber, Field::FreightMethod,
                                                Field::DeliveryMethod,     Field::VatCode };
// The fields of an order's line in the order list.
constexpr std::array<Field, orderListFields> listFields { Field::OrderDate, Field::OrderNumber, Field::CustomerNumber,
                                                          Field::CustomerLine1 };

constexpr quint32 lineStartBit = 0x80000000u;

template<size_t n>
QByteArray plainLines(const Order& order, const std::array<Field, n>& fields)
{
    QByteArray bytes;
    for (Field field : fields)
        bytes += datafiles::plainLine(order.text(field));
    return bytes;
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Reads the plain lines of an archive file into the order's fields, in order.
template<size_t n>
void readArchiveFile(const std::optional<QString>& path, Order& order, const std::array<Field, n>& fields,
                     QStringList& problems)
{
    if (!path)
        return;
    const datafiles::ReadResult file = datafiles::readWholeFile(*path);
    if (file.missing) {
        problems.append(QStringLiteral("Filen %1 saknas.").arg(shown(*path)));
        return;
    }
    if (!file.ok()) {
        problems.append(QStringLiteral("Filen %1 kan inte läsas: %2.").arg(shown(*path), file.failure->reason));
        return;
    }
    const QStringList lines = datafiles::readLines(file.bytes);
    for (size_t i = 0; i < n && qsizetype(i) < lines.size(); ++i)
        order.setText(fields[i], lines.at(qsizetype(i)));
    if (lines.size() < qsizetype(n) || !file.bytes.endsWith("\r\n"))
        problems.append(QStringLiteral("Filen %1 är avkortad.").arg(shown(*path)));
}

} // namespace

QByteArray archiveCustomerBytes(const Order& order)
{
    return plainLines(order, customerFileFields);
}

QByteArray archiveOrderHeadBytes(const Order& order)
{
    return plainLines(order, headFileFields);
}

QByteArray orderListLine(const Order& order)
{
    // A double quote inside a value would split it for every reader of the
    // list, so it goes in as the quote rule of the records has it.
    QStringList texts;
    for (Field field : listFields)
        texts.append(order.text(field));
    return datafiles::quotedRecord(texts);
}

OrderList::OrderList(QByteArray bytes, const EachRecord& each)
    : m_bytes(std::move(bytes))
{
    Q_ASSERT(m_bytes.size() < qsizetype(lineStartBit));
    // About 45 bytes an order.
    m_records.reserve(size_t(m_bytes.size() / 40 + 16));
    const char* begin = m_bytes.constData();
    datafiles::RecordReader reader(m_bytes, orderListFields);
    std::array<datafiles::FieldSpan, orderListFields> spans;
    Fields fields;
    while (reader.next(spans.data())) {
        m_records.push_back(quint32(reader.recordBegin()) | (reader.recordAtLineStart() ? lineStartBit : 0));
        if (each) {
            for (size_t f = 0; f < spans.size(); ++f)
                fields[f] = QByteArrayView(begin + spans[f].begin, spans[f].end - spans[f].begin);
            each(fields);
        }
    }
    m_endsInsideRecord = reader.endsInsideRecord();
}

OrderList::Fields OrderList::fields(qsizetype record) const
{
    const quint32 start = m_records[size_t(record)];
    const QByteArrayView bytes = QByteArrayView(m_bytes).sliced(start & ~lineStartBit);
    datafiles::FieldStream stream(bytes, start & lineStartBit);
    Fields fields;
    datafiles::FieldSpan span;
    for (QByteArrayView& field : fields) {
        stream.next(&span);
        field = bytes.sliced(span.begin, span.end - span.begin);
    }
    return fields;
}

OrderListEntry OrderList::entry(qsizetype record) const
{
    const Fields read = fields(record);
    return { datafiles::decode1252(read[0]), datafiles::decode1252(read[1]), datafiles::decode1252(read[2]),
             datafiles::decode1252(read[3]) };
}

QList<OrderListEntry> OrderList::entries() const
{
    QList<OrderListEntry> entries;
    entries.reserve(size());
    for (qsizetype r = 0; r < size(); ++r)
        entries.append(entry(r));
    return entries;
}

OrderListRead readOrderList(const datafiles::DataDirectory& data, const OrderList::EachRecord& each)
{
    OrderListRead read;
    read.file = data.orderList();
    if (!datafiles::isFile(read.file)) {
        read.missing = true;
        return read;
    }
    const QString operation = QStringLiteral("läsa listan över utskrivna order");
    datafiles::ReadResult file = datafiles::readWholeFile(read.file);
    if (file.ok() && file.bytes.size() >= qsizetype(lineStartBit))
        file.failure = datafiles::refusedByRule({}, read.file, QStringLiteral("filen är för stor"));
    if (!file.ok()) {
        read.failure = file.failure->during(operation);
        return read;
    }
    read.list = OrderList(std::move(file.bytes), each);
    if (read.list.endsInsideRecord())
        read.cutShort = datafiles::endsInsideRecord(operation, read.file);
    return read;
}

qsizetype forEachListedNumber(QByteArrayView bytes, const std::function<void(QByteArrayView number)>& each)
{
    datafiles::RecordReader records(bytes, orderListFields);
    std::array<datafiles::FieldSpan, orderListFields> fields;
    while (records.next(fields.data()))
        each(bytes.sliced(fields[1].begin, fields[1].end - fields[1].begin));
    return records.recordBegin();
}

ArchivedOrder readArchivedOrder(const datafiles::DataDirectory& data, const QString& orderNumber)
{
    ArchivedOrder archived;
    Order& order = archived.order;
    order.setText(Field::OrderNumber, orderNumber);
    if (!datafiles::DataDirectory::namesFileInside(orderNumber)) {
        archived.problems.append(datafiles::noFileNamed(orderNumber) + QLatin1Char('.'));
        return archived;
    }
    readArchiveFile(data.archiveCustomerFile(orderNumber), order, customerFileFields, archived.problems);
    readArchiveFile(data.archiveOrderHeadFile(orderNumber), order, headFileFields, archived.problems);
    // The head file names the order by the number it was printed with, which is
    // the number it is listed and filed under.
    order.setText(Field::OrderNumber, orderNumber);

    const BasketRead basket = readPrintedLines(data, orderNumber);
    order.setLines(basket.lines);
    if (basket.failure)
        archived.problems.append(
            QStringLiteral("Filen %1 kan inte läsas: %2.").arg(shown(basket.file), basket.failure->reason));
    else if (basket.missing)
        archived.problems.append(
            QStringLiteral("Filen %1 saknas: ordern har inga sparade orderrader.").arg(shown(basket.file)));
    else if (basket.cutShort)
        archived.problems.append(
            QStringLiteral("Filen %1 är avkortad: den sista orderraden saknas.").arg(shown(basket.file)));
    return archived;
}

} // namespace core
