#pragma once

#include "csvfile.h"
#include "customers.h"
#include "productindex.h"
#include "registerediting.h"

#include "datafiles/datadirectory.h"
#include "datafiles/failure.h"
#include "datafiles/records.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// Importing a supplier's price list into the product register, or a customer
// list into the customer files: every row of the file classified before
// anything is written, the import written whole, and the state before it kept
// for "Ångra senaste import".
namespace core {

enum class RowKind { New, Changed, Unchanged, Refused };
QString rowKindName(RowKind kind); // "Ny", "Ändrad", "Oförändrad", "Avvisad"

struct ImportRow
{
    int line = 0; // in the file, from 1
    RowKind kind = RowKind::Refused;
    QString key; // the article or customer number
    QString detail; // what changes, from what to what; or why the row is refused
};

struct ImportPreview
{
    QList<ImportRow> rows;
    std::array<int, 4> counts {}; // by RowKind
    // What the operator is told in place of the rows where a column the import
    // needs has none chosen, so that nothing would change: which column that is.
    QString missingColumn;

    int count(RowKind kind) const { return counts[size_t(kind)]; }
};

// A field of what is imported, and the names a first row may give its column,
// recognised without regard to letter case, blanks or dots.
struct ImportField
{
    QString caption;
    QStringList names;
};
const QList<ImportField>& priceListFields(); // Artikelnr, Benämning, Enhet, Pris
const QList<ImportField>& customerListFields(); // Kundnr, Namn, Adress, Postadress, E-post

// Which column of the file holds each field (-1: none), and whether the
// first row names the columns rather than holding data.
struct ImportColumns
{
    QList<int> columns;
    bool firstRowNames = false;
};

// The columns as the first row names them, where it does; otherwise the
// fields in the file's column order, for the operator to change.
ImportColumns guessColumns(const CsvFile& file, const QList<ImportField>& fields);

enum class PriceListMode { AddAndUpdate, PricesOnly };

// The decimal mark of the price column: the comma or the point, whichever
// more of its numbers end with.
QChar decimalMarkOf(const CsvFile& file, const ImportColumns& columns, int priceColumnField);

struct PriceListPlan
{
    ImportPreview preview;
    datafiles::RecordChanges changes;
    QChar decimalMark;
};

// Rows are matched on the article number, letter case ignored. An empty cell,
// or a field with no column, leaves the product's field as it is. Without a
// price column, prices are not updated; where nothing else would change
// either, no row is listed and `missingColumn` names the price column.
PriceListPlan planPriceList(const CsvFile& file, const ImportColumns& columns, PriceListMode mode,
                            const datafiles::RecordTable& products);

// One durable replacement of the register, after the register as it stood
// is kept for undoing. The register must still be as the preview read it
// (`current`); if it is not, nothing is written.
RegisterSaved importPriceList(const datafiles::DataDirectory& data, const datafiles::RecordTable& current,
                              const datafiles::RecordChanges& changes);
bool canUndoPriceList(const datafiles::DataDirectory& data);
// Puts the register back as it stood before the last import.
std::optional<datafiles::Failure> undoPriceList(const datafiles::DataDirectory& data);

struct CustomerListPlan
{
    ImportPreview preview;
    QList<Customer> written; // the new and the changed customers
    QStringList added; // the numbers of the new ones
    QList<Customer> replaced; // the changed ones as the preview found them
};

// Rows are matched on the customer number, letter case ignored; a changed
// customer keeps its file's name.
CustomerListPlan planCustomerList(const CsvFile& file, const ImportColumns& columns, const QList<Customer>& customers);

// The customer files must still be as the preview found them: none of the
// new customers there, letter case ignored, and the changed ones unchanged;
// if they are not, nothing is written and the last import's undo is kept.
// Then the files the import replaces are copied aside, in place of the last
// import's, with the list of the numbers it adds, before any customer file is
// written.
std::optional<datafiles::Failure> importCustomerList(const datafiles::DataDirectory& data,
                                                     const CustomerListPlan& plan);
bool canUndoCustomerList(const datafiles::DataDirectory& data);
// Removes every customer but the counter-sale one, its files kept aside as an
// import keeps those it replaces: undoCustomerList() puts them back.
std::optional<datafiles::Failure> emptyCustomers(const datafiles::DataDirectory& data);
std::optional<datafiles::Failure> undoCustomerList(const datafiles::DataDirectory& data);

} // namespace core
