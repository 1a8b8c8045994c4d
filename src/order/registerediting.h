#pragma once

#include "productindex.h"
#include "registers.h"
#include "textrules.h"

#include "datafiles/datadirectory.h"
#include "datafiles/failure.h"
#include "datafiles/records.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The registers as the register windows keep them and the imports change
// them. The rules a product and a code keep are checked here, for every window
// and import alike: a record that breaks one is refused with a failure of kind
// RefusedByRule whose reason names the field. Each change is written at once,
// the whole file replaced durably, every record the change does not touch
// keeping its bytes; the new bytes are read back as the picker reads them
// before they replace the file.
namespace core {

// What the operator is told when a register ends inside a record that the
// next change will drop.
datafiles::Failure cutRecordWillBeDropped(const datafiles::Failure& cutShort);

struct RegisterSaved
{
    datafiles::RecordTable records; // the register as it now stands
    std::optional<datafiles::Failure> failure; // nothing was written
};

// Writes the changes into the register file of the folder, under the
// folder's lock, and the file must still hold the bytes `current` was read
// from: a register changed on disk since (an import, the other window,
// another desk) is left alone, with a failure of kind ChangedSinceRead whose
// reason is `whenChanged`. Where `keepBefore` names a file, the register as it
// stood is kept there, durably, before it is replaced.
RegisterSaved saveRegister(const datafiles::DataDirectory& data, const QString& file,
                           const datafiles::RecordTable& current, const datafiles::RecordChanges& changes,
                           const QString& operation, const QString& whenChanged, const QString& keepBefore = {});

// A register emptied to start on the business's own data: every record
// removed, and the register as it stood kept beside it, durably, under its
// own name with ".före-tömning" after it, which the pickers never read. As
// with an import, undoEmptying() puts the kept register back.
QString keptBeforeEmptying(const QString& file);
RegisterSaved emptyRegister(const datafiles::DataDirectory& data, const QString& file,
                            const datafiles::RecordTable& current, const QString& name);
std::optional<datafiles::Failure> undoEmptying(const datafiles::DataDirectory& data, const QString& file,
                                               const QString& name);

// A product's four texts as the register holds them: article number,
// description, unit and unit price.
inline constexpr int articleField = 0;
inline constexpr int descriptionField = 1;
inline constexpr int unitField = 2;
inline constexpr int priceField = 3;

// A product as the register stores it, from the texts the operator typed or a
// price list gives: the price as storedPrice() gives it, a price left blank
// (or null) staying so. Refused when the price is no number or the texts
// cannot be stored (productProblem()).
struct ProductChecked
{
    QStringList product;
    std::optional<datafiles::Failure> refused;
};
ProductChecked checkProduct(const QStringList& typed, QChar decimalMark = {});
// Why a product cannot be stored as it stands: its article number is blank,
// a text cannot be held by a quoted record, or holds a control character (a
// tab only in the description). None when it can.
std::optional<datafiles::Failure> productProblem(const QStringList& product);
// Whether the product's field, or the code's (0 the ID, 1 the description),
// may hold a tab: only the descriptions.
Tab productFieldTab(int field);
Tab codeFieldTab(int field);

// The product checked and saved at its place in the register (-1: a new one,
// added at the end), refused too when another product has its article
// number, letter case ignored. `products` and `index` are the register as it
// was read.
RegisterSaved saveProduct(const datafiles::DataDirectory& data, const datafiles::RecordTable& products,
                          const ProductIndex& index, int place, const QStringList& typed);
RegisterSaved removeProduct(const datafiles::DataDirectory& data, const datafiles::RecordTable& products, int place);

// A price as the operator types it or a price list gives it, with a decimal
// comma or point (`decimalMark`, or either when it is null) and blanks
// between the digits, as the register stores it: two decimals and a point
// ("99,5" gives "99.50"). None when the text is no number.
std::optional<QString> storedPrice(QStringView typed, QChar decimalMark = {});

// Why a code cannot be saved at its row of the register (-1: a new one): a
// new or changed ID is one character, as the order's code boxes take one, not
// a blank, and no other row's ID, letter case ignored; an ID already in the
// register may stay as it is. None when it can.
std::optional<datafiles::Failure> checkCode(const datafiles::RecordTable& codes, int row, const QStringList& code);
RegisterSaved saveCode(const datafiles::DataDirectory& data, CodeRegister which, const datafiles::RecordTable& codes,
                       int row, const QStringList& code);
RegisterSaved removeCode(const datafiles::DataDirectory& data, CodeRegister which, const datafiles::RecordTable& codes,
                         int row);

} // namespace core
