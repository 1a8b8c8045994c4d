#include "registers.h"

#include "datafiles/records.h"
#include "datafiles/textfile.h"

#include <QFileInfo>

namespace core {
namespace {

using Wording = std::map<QString, QString>;

// The standing wording of the codes every order starts with; it holds whatever
// the register files say.
const Wording& standingWording(CodeRegister which)
{
    static const Wording paymentTerms { { QStringLiteral("0"), QStringLiteral("Normalvillkor") } };
    static const Wording delivery { { QStringLiteral("0"), QStringLiteral("Hämtas") },
                                    { QStringLiteral("1"), QStringLiteral("Utkört") },
                                    { QStringLiteral("2"), QStringLiteral("Fritt vårt lager") } };
    static const Wording freight { { QStringLiteral("0"), QStringLiteral("Posten") },
                                   { QStringLiteral("1"), QStringLiteral("DHL") },
                                   { QStringLiteral("2"), QStringLiteral("Bussgods") },
                                   { QStringLiteral("3"), QStringLiteral("BTL/Schenker") } };
    switch (which) {
    case CodeRegister::PaymentTerms:
        return paymentTerms;
    case CodeRegister::DeliveryMethod:
        return delivery;
    case CodeRegister::FreightMethod:
        break;
    }
    return freight;
}

RecordsRead readRecordFile(const QString& file, int fields, const QString& operation, WhenMissing missing)
{
    // The record layout keeps field places in 32 bits.
    constexpr qsizetype largestRegister = 0xFFFFFFFEll;
    RecordsRead read;
    read.file = file;
    datafiles::ReadResult bytes = datafiles::readWholeFile(file);
    if (bytes.missing && missing == WhenMissing::IsEmpty && !QFileInfo::exists(file)) {
        read.records = datafiles::RecordTable::parse({}, fields);
        return read;
    }
    if (bytes.ok() && bytes.bytes.size() > largestRegister)
        bytes.failure = datafiles::refusedByRule({}, file, QStringLiteral("filen är för stor"));
    if (!bytes.ok()) {
        read.failure = bytes.failure->during(operation);
        return read;
    }
    read.records = datafiles::RecordTable::parse(std::move(bytes.bytes), fields);
    if (read.records.endsInsideRecord())
        read.cutShort = datafiles::endsInsideRecord(operation, file);
    return read;
}

} // namespace

QString registerFile(const datafiles::DataDirectory& data, CodeRegister which)
{
    switch (which) {
    case CodeRegister::PaymentTerms:
        return data.paymentTermsRegister();
    case CodeRegister::DeliveryMethod:
        return data.deliveryMethodRegister();
    case CodeRegister::FreightMethod:
        break;
    }
    return data.freightMethodRegister();
}

QList<RegisterRow> readRegisterRows(QByteArrayView bytes, bool* endsInsideRecord)
{
    const datafiles::RecordTable table = datafiles::RecordTable::parse(bytes.toByteArray(), 2);
    QList<RegisterRow> rows;
    rows.reserve(table.recordCount());
    for (qsizetype r = 0; r < table.recordCount(); ++r)
        rows.append({ table.field(r, 0), table.field(r, 1) });
    if (endsInsideRecord)
        *endsInsideRecord = table.endsInsideRecord();
    return rows;
}

QString codeRegisterName(CodeRegister which)
{
    static const char* const names[] = { "betalningsvillkor", "leveranssätt", "fraktsätt" };
    return QString::fromUtf8(names[size_t(which)]);
}

RecordsRead readProducts(const datafiles::DataDirectory& data, WhenMissing missing)
{
    return readRecordFile(data.productRegister(), productFields, QStringLiteral("läsa produktregistret"), missing);
}

RecordsRead readCodes(const datafiles::DataDirectory& data, CodeRegister which, WhenMissing missing)
{
    return readRecordFile(registerFile(data, which), 2,
                          QStringLiteral("läsa registret över %1").arg(codeRegisterName(which)), missing);
}

RegisterRead readRegister(const datafiles::DataDirectory& data, CodeRegister which)
{
    const RecordsRead codes = readCodes(data, which, WhenMissing::Fails);
    RegisterRead read { {}, codes.file, codes.failure, codes.cutShort };
    read.rows.reserve(codes.records.recordCount());
    for (qsizetype r = 0; r < codes.records.recordCount(); ++r)
        read.rows.append({ codes.records.field(r, 0), codes.records.field(r, 1) });
    return read;
}

CodeWording::CodeWording(datafiles::DataDirectory data)
    : m_data(std::move(data))
{
}

QString CodeWording::wording(CodeRegister which, const QString& code) const
{
    const Wording& standing = standingWording(which);
    if (const auto fixed = standing.find(code); fixed != standing.end())
        return fixed->second;
    if (code.isEmpty())
        return {};
    const Descriptions& described = descriptions(which);
    const auto found = described.find(code);
    return found == described.end() ? QString() : found->second;
}

void CodeWording::reload()
{
    for (std::optional<Descriptions>& loaded : m_registers)
        loaded.reset();
}

const CodeWording::Descriptions& CodeWording::descriptions(CodeRegister which) const
{
    std::optional<Descriptions>& loaded = m_registers[size_t(which)];
    if (!loaded) {
        loaded.emplace();
        const datafiles::ReadResult file = datafiles::readWholeFile(registerFile(m_data, which));
        if (file.ok()) {
            // The first record with an ID is the one that counts.
            for (const RegisterRow& row : readRegisterRows(file.bytes))
                loaded->emplace(row.id, row.description);
        }
    }
    return *loaded;
}

} // namespace core
