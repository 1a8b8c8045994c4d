#pragma once

#include "productindex.h"
#include "registers.h"

#include "datafiles/datadirectory.h"
#include "datafiles/failure.h"
#include "datafiles/records.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The registers as the register windows keep them: each change the operator
// confirms is written at once, the whole file replaced durably, every record
// the change does not touch keeping its bytes. The new bytes are read back as
// the picker reads them before they replace the file.
namespace core {

// A register file read for editing. A missing file is an empty register,
// which the first change creates.
struct EditableRegister
{
    datafiles::RecordTable records;
    QString file;
    std::optional<datafiles::Failure> failure; // the file is there but cannot be read
    // It ends inside a record: what to tell the operator, who is told too
    // that the next change drops that record.
    std::optional<datafiles::Failure> cutShort;
};

EditableRegister readEditableProducts(const datafiles::DataDirectory& data);
EditableRegister readEditableCodes(const datafiles::DataDirectory& data, CodeRegister which);

// What the operator is told when a register ends inside a record that the
// next change will drop.
datafiles::Failure cutRecordWillBeDropped(const datafiles::Failure& cutShort);

struct RegisterSaved
{
    datafiles::RecordTable records; // the register as it now stands
    std::optional<datafiles::Failure> failure; // nothing was written
};

// Writes the changes into the register file, which must still hold the bytes
// `current` was read from: a register changed on disk since (an import, the
// other window) is left alone and its failure says so.
RegisterSaved saveRegister(const QString& file, const datafiles::RecordTable& current,
                           const datafiles::RecordChanges& changes, const QString& operation);

// A product's four texts as the register holds them: article number,
// description, unit and unit price.
inline constexpr int articleField = 0;
inline constexpr int descriptionField = 1;
inline constexpr int unitField = 2;
inline constexpr int priceField = 3;

// Why a product cannot be stored as it stands; empty when it can. The price
// is the stored text.
QString productProblem(const QStringList& product);
// The reason to give when another product has the article number.
QString articleNumberTaken(const QString& article);

// A price as the operator types it or a price list gives it, with a decimal
// comma or point (`decimalMark`, or either when it is null) and blanks
// between the digits, as the register stores it: two decimals and a point
// ("99,5" gives "99.50"). None when the text is no number.
std::optional<QString> storedPrice(QStringView typed, QChar decimalMark = {});
QString priceIsNoNumber(const QString& typed);

// Why a code cannot be a new or edited ID of a code register: it is one
// character, as the order's code boxes take one. Empty when it can.
QString codeProblem(const QString& id);
QString codeTaken(const QString& id);

} // namespace core
