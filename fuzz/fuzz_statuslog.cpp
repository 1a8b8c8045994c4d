// The status file read on any bytes: each order's state is the state of its
// last whole record that names one of the four, its log those records in
// turn, and a record cut short at the end is told and left out; records
// appended afterwards are taken in as a fresh reading of the whole file takes
// them.
//
// Input: the status file; at the first 0x1F, the rest is appended to it.
#include "datafiles/codepage.h"
#include "datafiles/records.h"
#include "fuzzcheck.h"
#include "order/orderstatus.h"

#include <QHash>

namespace {

const QStringList names { "Registrerad", "Levererad", "Fakturerad", "Makulerad" };

// The log of every number by the plain record reader.
QHash<QString, QList<core::StatusChange>> expectedLogs(QByteArrayView bytes, bool* cut)
{
    QHash<QString, QList<core::StatusChange>> logs;
    for (const QStringList& record : datafiles::readRecords(bytes, core::statusFields, cut)) {
        const qsizetype state = names.indexOf(record.at(1));
        if (state >= 0)
            logs[record.at(0)].append({ record.at(0), core::OrderState(state), record.at(2), record.at(3) });
    }
    return logs;
}

void check(const core::StatusLog& log, QByteArrayView bytes)
{
    bool cut = false;
    const QHash<QString, QList<core::StatusChange>> logs = expectedLogs(bytes, &cut);
    FUZZ_CHECK(log.endsInsideRecord() == cut);
    for (auto it = logs.cbegin(); it != logs.cend(); ++it) {
        FUZZ_CHECK(log.changesOf(it.key()) == it.value());
        FUZZ_CHECK(log.stateOf(it.key()) == it.value().last().state);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView input = fuzzBytes(data, size);
    const qsizetype split = input.indexOf('\x1F');
    const QByteArrayView file = split < 0 ? input : input.first(split);
    core::StatusLog log(file);
    check(log, file);
    if (split < 0 || log.endsInsideRecord())
        return 0;
    // What an append writes: whole records after a line end.
    const QByteArrayView added = input.sliced(split + 1);
    if (datafiles::wholeRecordsLength(added, core::statusFields) != added.size())
        return 0;
    QByteArray whole = file.toByteArray();
    if (!whole.isEmpty() && !whole.endsWith('\n'))
        whole += "\r\n";
    whole += added;
    log.add(added);
    check(log, whole);
    return 0;
}
