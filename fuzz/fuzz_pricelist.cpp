// A price list as a supplier sends it, read and classified against a register.
// For any bytes: every row of the file is classified, every refused row has a
// reason, and the register the import would write reads back as the picker
// reads it to exactly the intended products. A file that cannot be read as a
// list says why and has no rows, and no cell outgrows the limit.
//
// Input: a register's bytes, 0x1E, then the price list's; without 0x1E, all
// of it is the price list over a small register. The first byte's lowest bit
// chooses "Uppdatera bara priser"; its next bit removes the register's middle
// product too, as "Ta bort" does.
#include "fuzzcheck.h"
#include "order/csvfile.h"
#include "order/importing.h"
#include "order/registerediting.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView input = fuzzBytes(data, size);
    const qsizetype split = input.indexOf('\x1E');
    const QByteArray registerBytes = split < 0
        ? QByteArray("\"A-1\",\"Skruv\",\"st\",\"10.00\"\r\nA-2, Mutter ,st,2\r\n")
        : input.first(split).toByteArray();
    const QByteArrayView list = split < 0 ? input : input.sliced(split + 1);
    const bool pricesOnly = size > 0 && (data[0] & 1);

    const datafiles::RecordTable products = datafiles::RecordTable::parse(registerBytes, core::productFields);
    const core::CsvFile csv = core::readCsv(list);
    FUZZ_CHECK(csv.rows.size() == csv.lines.size());
    // A refused file names why and has no rows; no cell is longer than one
    // character over the limit.
    FUZZ_CHECK(!csv.refused || (csv.rows.isEmpty() && !csv.refused->reason.isEmpty()));
    for (const QStringList& row : csv.rows) {
        for (const QString& cell : row)
            FUZZ_CHECK(cell.size() <= core::longestCell + 1);
    }
    const core::ImportColumns columns = core::guessColumns(csv, core::priceListFields());
    const core::PriceListPlan plan = core::planPriceList(
        csv, columns, pricesOnly ? core::PriceListMode::PricesOnly : core::PriceListMode::AddAndUpdate, products);

    // A list that would change nothing for want of its price column lists no
    // row, and says which column is missing instead.
    const qsizetype dataRows
        = plan.preview.missingColumn.isEmpty() ? csv.rows.size() - (columns.firstRowNames ? 1 : 0) : 0;
    FUZZ_CHECK(plan.preview.missingColumn.isEmpty() || plan.changes.isEmpty());
    FUZZ_CHECK(plan.preview.rows.size() == dataRows);
    int counted = 0;
    for (int kind : plan.preview.counts)
        counted += kind;
    FUZZ_CHECK(counted == dataRows);
    int line = 0;
    for (const core::ImportRow& row : plan.preview.rows) {
        FUZZ_CHECK(row.line >= line && row.line >= 1);
        line = row.line;
        FUZZ_CHECK(row.kind != core::RowKind::Refused || !row.detail.isEmpty());
    }
    FUZZ_CHECK(qsizetype(plan.changes.replaced.size()) == plan.preview.count(core::RowKind::Changed));
    FUZZ_CHECK(plan.changes.added.size() == plan.preview.count(core::RowKind::New));

    datafiles::RecordChanges changes = plan.changes;
    const qsizetype middle = products.recordCount() / 2;
    const bool removing = size > 0 && (data[0] & 2) && products.recordCount() > 0 && !changes.replaced.count(middle);
    if (removing)
        changes.removed.insert(middle);

    const datafiles::RecordRewrite rewrite = datafiles::rewriteRecords(products, changes);
    FUZZ_CHECK(rewrite.problem.isEmpty());
    const datafiles::RecordTable back = datafiles::RecordTable::parse(rewrite.bytes, core::productFields);
    FUZZ_CHECK(!back.endsInsideRecord());
    FUZZ_CHECK(back.recordCount() == products.recordCount() - (removing ? 1 : 0) + changes.added.size());
    qsizetype place = 0;
    for (qsizetype r = 0; r < products.recordCount(); ++r) {
        if (removing && r == middle)
            continue;
        const auto replaced = changes.replaced.find(r);
        FUZZ_CHECK(back.record(place++)
                   == (replaced == changes.replaced.end() ? products.record(r) : replaced->second));
    }
    for (qsizetype i = 0; i < changes.added.size(); ++i)
        FUZZ_CHECK(back.record(place + i) == changes.added.at(i));
    return 0;
}
