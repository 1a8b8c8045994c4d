#pragma once

#include "datafiles/datadirectory.h"
#include "datafiles/failure.h"
#include "datafiles/records.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <array>
#include <map>
#include <optional>

namespace core {

// The three registers whose codes an order holds.
enum class CodeRegister { PaymentTerms, DeliveryMethod, FreightMethod };

QString registerFile(const datafiles::DataDirectory& data, CodeRegister which);

// One record of a register file: the code the order stores and its wording.
struct RegisterRow
{
    QString id;
    QString description;
};

// A register file's records, read two fields at a time; only complete records
// count. *endsInsideRecord tells whether the file ended part-way through one.
QList<RegisterRow> readRegisterRows(QByteArrayView bytes, bool* endsInsideRecord = nullptr);

// A register file read as records of n fields: only complete records count.
struct RecordsRead
{
    datafiles::RecordTable records;
    QString file;
    std::optional<datafiles::Failure> failure; // the register cannot be read
    std::optional<datafiles::Failure> cutShort; // it ends inside a record: what to tell the operator
};

// A register file that is not there: a failure for the pickers, which list
// it, or an empty register for the register windows, whose first change
// creates it.
enum class WhenMissing { Fails, IsEmpty };

// The product register, System/Registret/Produkter.dbf: a record of four
// fields a product (article number, description, unit, unit price), kept as
// the file's bytes and the places of the fields, so that a register of a
// million products takes little more memory than the file.
inline constexpr int productFields = 4;
RecordsRead readProducts(const datafiles::DataDirectory& data, WhenMissing missing = WhenMissing::Fails);
// A code register: a record of two fields a code (the ID and its description).
RecordsRead readCodes(const datafiles::DataDirectory& data, CodeRegister which, WhenMissing missing);

struct RegisterRead
{
    QList<RegisterRow> rows; // the complete records, in file order
    QString file;
    std::optional<datafiles::Failure> failure; // the register cannot be read
    std::optional<datafiles::Failure> cutShort; // it ends inside a record: what to tell the operator
};

// A code register as its picker lists it.
RegisterRead readRegister(const datafiles::DataDirectory& data, CodeRegister which);

// What a code register holds, in the operator's words: "betalningsvillkor",
// "leveranssätt" or "fraktsätt".
QString codeRegisterName(CodeRegister which);

// The wording the printed order gives the payment-terms, delivery and freight
// codes: a standing wording for the codes every order starts with, and for any
// other code the description of the first register record with exactly that
// ID. A code the register does not know, or a register that cannot be read,
// has no wording, so the printed order never names terms the operator did not
// choose.
//
// Each register is read once, when a code first needs it, and again after
// reload(): the printed order names the codes as the registers hold them when
// it is printed or previewed.
class CodeWording
{
public:
    explicit CodeWording(datafiles::DataDirectory data);

    QString wording(CodeRegister which, const QString& code) const;
    void reload();

private:
    using Descriptions = std::map<QString, QString>;
    const Descriptions& descriptions(CodeRegister which) const;

    datafiles::DataDirectory m_data;
    mutable std::array<std::optional<Descriptions>, 3> m_registers;
};

} // namespace core
