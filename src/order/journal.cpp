#include "journal.h"

#include <QCryptographicHash>

namespace core {
namespace {

const QByteArray journalHeading = "Orderregistrering journal 1\n";

// A named field of the journal: "<name> <length>\n<bytes>\n".
void putField(QByteArray& journal, const char* name, QByteArrayView bytes)
{
    journal += name;
    journal += ' ';
    journal += QByteArray::number(bytes.size());
    journal += '\n';
    journal.append(bytes.data(), bytes.size());
    journal += '\n';
}

class JournalReader
{
public:
    explicit JournalReader(QByteArrayView bytes)
        : m_bytes(bytes)
    {
    }

    std::optional<QByteArray> field(const char* name)
    {
        const qsizetype lineEnd = m_bytes.indexOf('\n', m_pos);
        if (lineEnd < 0)
            return std::nullopt;
        const QByteArrayView head = m_bytes.sliced(m_pos, lineEnd - m_pos);
        const QByteArray prefix = QByteArray(name) + ' ';
        if (!head.startsWith(prefix))
            return std::nullopt;
        bool ok = false;
        const qsizetype length = head.sliced(prefix.size()).toLongLong(&ok);
        const qsizetype start = lineEnd + 1;
        if (!ok || length < 0 || length > m_bytes.size() - start - 1 || m_bytes.at(start + length) != '\n')
            return std::nullopt;
        m_pos = start + length + 1;
        return m_bytes.sliced(start, length).toByteArray();
    }

    bool atEnd() const { return m_pos == m_bytes.size(); }
    qsizetype position() const { return m_pos; }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

QByteArray checksum(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

} // namespace

QByteArray encodeJournal(const RegistrationPlan& plan)
{
    QByteArray journal = journalHeading;
    putField(journal, "order", plan.orderNumber.toUtf8());
    putField(journal, "ordernr", plan.orderNumberFile);
    putField(journal, "data1", plan.archiveCustomer);
    putField(journal, "data2", plan.archiveOrderHead);
    if (plan.archiveLines)
        putField(journal, "data3", *plan.archiveLines);
    putField(journal, "listlength", QByteArray::number(plan.listLengthBefore));
    putField(journal, "listappend", plan.listAppend);
    putField(journal, "sha256", checksum(journal));
    return journal;
}

std::optional<RegistrationPlan> decodeJournal(QByteArrayView bytes)
{
    if (!bytes.startsWith(journalHeading))
        return std::nullopt;
    const QByteArrayView body = bytes.sliced(journalHeading.size());
    JournalReader fields(body);
    const auto order = fields.field("order");
    const auto orderNumberFile = fields.field("ordernr");
    const auto data1 = fields.field("data1");
    const auto data2 = fields.field("data2");
    const auto data3 = fields.field("data3");
    const auto listLength = fields.field("listlength");
    const auto listAppend = fields.field("listappend");
    const qsizetype signedLength = journalHeading.size() + fields.position();
    const auto sum = fields.field("sha256");
    if (!order || !orderNumberFile || !data1 || !data2 || !listLength || !listAppend || !sum || !fields.atEnd())
        return std::nullopt;
    if (*sum != checksum(bytes.first(signedLength)))
        return std::nullopt;
    bool ok = false;
    RegistrationPlan plan;
    plan.orderNumber = QString::fromUtf8(*order);
    plan.orderNumberFile = *orderNumberFile;
    plan.archiveCustomer = *data1;
    plan.archiveOrderHead = *data2;
    plan.archiveLines = data3;
    plan.listLengthBefore = listLength->toLongLong(&ok);
    plan.listAppend = *listAppend;
    if (!ok || plan.listLengthBefore < 0)
        return std::nullopt;
    return plan;
}

} // namespace core
