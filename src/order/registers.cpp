#include "registers.h"

#include "datafiles/records.h"
#include "datafiles/textfile.h"

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

RegisterRead readRegister(const datafiles::DataDirectory& data, CodeRegister which)
{
    static const char* const operations[] = { "läsa registret över betalningsvillkor",
                                              "läsa registret över leveranssätt", "läsa registret över fraktsätt" };
    const QString operation = QString::fromUtf8(operations[size_t(which)]);
    RegisterRead read;
    read.file = registerFile(data, which);
    const datafiles::ReadResult file = datafiles::readWholeFile(read.file);
    if (!file.ok()) {
        read.failure = file.failure->during(operation);
        return read;
    }
    bool endsInsideRecord = false;
    read.rows = readRegisterRows(file.bytes, &endsInsideRecord);
    if (endsInsideRecord)
        read.cutShort = datafiles::endsInsideRecord(operation, read.file);
    return read;
}

ProductsRead readProducts(const datafiles::DataDirectory& data)
{
    // The record layout keeps field places in 32 bits.
    constexpr qsizetype largestRegister = 0xFFFFFFFEll;
    const QString operation = QStringLiteral("läsa produktregistret");
    ProductsRead read;
    read.file = data.productRegister();
    datafiles::ReadResult file = datafiles::readWholeFile(read.file);
    if (file.ok() && file.bytes.size() > largestRegister)
        file.failure = datafiles::refusedByRule({}, read.file, QStringLiteral("filen är för stor"));
    if (!file.ok()) {
        read.failure = file.failure->during(operation);
        return read;
    }
    read.products = datafiles::RecordTable::parse(std::move(file.bytes), productFields);
    if (read.products.endsInsideRecord())
        read.cutShort = datafiles::endsInsideRecord(operation, read.file);
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
