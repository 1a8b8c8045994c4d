#pragma once

#include "datafiles/datadirectory.h"

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

// The wording the printed order gives the payment-terms, delivery and freight
// codes: a standing wording for the codes every order starts with, and for any
// other code the description of the first register record with exactly that
// ID. A code the register does not know, or a register that cannot be read,
// has no wording, so the printed order never names terms the operator did not
// choose.
//
// Each register is read once, when a code first needs it, and again after
// reload(): a register picker has just shown the operator what it holds.
class CodeWording
{
public:
    explicit CodeWording(datafiles::DataDirectory data);

    QString wording(CodeRegister which, const QString& code) const;
    void reload(CodeRegister which);

private:
    using Descriptions = std::map<QString, QString>;
    const Descriptions& descriptions(CodeRegister which) const;

    datafiles::DataDirectory m_data;
    mutable std::array<std::optional<Descriptions>, 3> m_registers;
};

} // namespace core
