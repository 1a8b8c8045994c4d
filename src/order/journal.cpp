#include "journal.h"

#include "basket.h"
#include "crashpoint.h"

#include "datafiles/textfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

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

// The list step: the list cut back to its length before the append, and the
// line appended. Where the list holds the line there already, the step was
// done; where the list has changed otherwise since (it is shorter, or holds
// something else there), nothing of it is cut and the line goes at its end.
QString completeListAppend(const QString& list, const RegistrationPlan& plan)
{
    const qint64 size = std::max<qint64>(datafiles::fileSize(list), 0);
    const qint64 length = plan.listLengthBefore;
    const QByteArray& line = plan.listAppend;
    if (size >= length) {
        QByteArray there;
        QFile file(list);
        if (size > length && file.open(QIODevice::ReadOnly) && file.seek(length))
            there = file.read(std::min<qint64>(size - length, line.size() + 1));
        if (there == line && size == length + line.size())
            return {};
        if (size == length)
            return datafiles::appendExactly(list, line);
        if (line.startsWith(there) && size <= length + line.size())
            return datafiles::writeAt(list, length, line);
    }
    const QByteArray ownLine = line.startsWith("\r\n") ? line.mid(2) : line;
    return datafiles::appendToFile(list, ownLine);
}

// Our own temporary files: a file the program replaces, with six letters or
// digits after it (QSaveFile's names where the system has no unnamed files).
bool isLeftoverTemporaryFile(const QString& name)
{
    static const QRegularExpression temporary(
        QStringLiteral(R"(^(OrderNr\.dbf|lista\.dbf|registrering\.journal|.+_data[12]\.dbf|.+\.basket\.dbf|.+\.pdf))"
                       R"(\.[A-Za-z0-9]{6}$)"));
    return temporary.match(name).hasMatch();
}

void removeLeftoverTemporaryFiles(const QString& folder)
{
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        if (isLeftoverTemporaryFile(name))
            QFile::remove(dir.filePath(name));
    }
}

} // namespace

QByteArray encodeJournal(const RegistrationPlan& plan)
{
    QByteArray journal = journalHeading;
    putField(journal, "order", plan.orderNumber.toUtf8());
    putField(journal, "ordernr", plan.orderNumberFile);
    putField(journal, "data1", plan.archiveCustomer);
    putField(journal, "data2", plan.archiveOrderHead);
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
    plan.listLengthBefore = listLength->toLongLong(&ok);
    plan.listAppend = *listAppend;
    if (!ok || plan.listLengthBefore < 0)
        return std::nullopt;
    return plan;
}

std::optional<Failure> carryOut(const datafiles::DataDirectory& data, const RegistrationPlan& plan)
{
    const QString& number = plan.orderNumber;
    const std::optional<QString> customerFile = data.archiveCustomerFile(number);
    const std::optional<QString> headFile = data.archiveOrderHeadFile(number);
    if (!customerFile || !headFile)
        return Failure { QStringLiteral("arkivera ordern"), {}, noFileNamed(number) };

    const struct
    {
        const char* operation;
        QString file;
        const QByteArray& bytes;
        const char* crashPointAfter;
    } replaced[] = {
        { "spara ordernumret", data.orderNumberFile(), plan.orderNumberFile, "ordernumber" },
        { "arkivera orderns kund", *customerFile, plan.archiveCustomer, "archive-customer" },
        { "arkivera orderhuvudet", *headFile, plan.archiveOrderHead, "archive-head" },
    };
    for (const auto& step : replaced) {
        if (const QString reason = datafiles::replaceFile(step.file, step.bytes); !reason.isEmpty())
            return Failure { QString::fromUtf8(step.operation), step.file, reason };
        crashPoint(step.crashPointAfter);
    }

    const QString list = data.orderList();
    if (const QString reason = completeListAppend(list, plan); !reason.isEmpty())
        return Failure { QStringLiteral("föra in ordern i orderlistan"), list, reason };
    crashPoint("order-list");
    return std::nullopt;
}

Recovery finishInterruptedRegistration(const datafiles::DataDirectory& data)
{
    Recovery recovery;
    // The order folder holds five files an order and is gone through only
    // after a stopped registration; the other two hold a handful.
    removeLeftoverTemporaryFiles(data.systemFolder());
    removeLeftoverTemporaryFiles(data.registerFolder());
    const QString journal = data.registrationJournal();
    if (!datafiles::isFile(journal))
        return recovery;
    removeLeftoverTemporaryFiles(data.orderFolder());
    const datafiles::ReadResult read = datafiles::readWholeFile(journal);
    if (!read.ok()) {
        recovery.failure = Failure { QStringLiteral("slutföra en avbruten registrering"), journal, read.error };
        return recovery;
    }
    if (const std::optional<RegistrationPlan> plan = decodeJournal(read.bytes)) {
        if (std::optional<Failure> failure = carryOut(data, *plan)) {
            recovery.failure = failure;
            return recovery;
        }
        recovery.completedOrder = plan->orderNumber;
    }
    if (const QString reason = datafiles::removeFile(journal); !reason.isEmpty())
        recovery.failure = Failure { QStringLiteral("ta bort registreringsjournalen"), journal, reason };
    return recovery;
}

} // namespace core
