// The status file read on any bytes, one record a line: each order's state is
// the state of its last whole record that names one of the four, its log
// those records in turn, a line of more or fewer fields is passed over, and a
// record cut short at the end is told and left out; records
// appended afterwards are taken in as a fresh reading of the whole file takes
// them.
//
// Input: the status file; at the first 0x1F, the rest is appended to it.
#include "datafiles/codepage.h"
#include "datafiles/records.h"
#include "fuzzcheck.h"
#include "order/orderstatus.h"

#include <QHash>

#include <algorithm>

namespace {

const QStringList names { "Registrerad", "Levererad", "Fakturerad", "Makulerad" };

// The log of every number, line by line by the plain record reader: a line
// that holds exactly one record counts, any other is passed over, and a last
// line without its line end that holds none is a record cut short.
QHash<QString, QList<core::StatusChange>> expectedLogs(QByteArrayView bytes, bool* cut)
{
    QHash<QString, QList<core::StatusChange>> logs;
    *cut = false;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        const QByteArrayView line = bytes.sliced(pos, end - pos);
        pos = end + (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n' ? 2 : 1);
        bool lineCut = false;
        const QList<QStringList> records = datafiles::readRecords(line, core::statusFields, &lineCut);
        if (records.size() != 1 || lineCut) {
            const bool blank = std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
            if (end >= bytes.size() && !blank)
                *cut = true;
            continue;
        }
        const QStringList& record = records.first();
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
    // What an append writes: whole records a line, after a line end.
    const QByteArrayView added = input.sliced(split + 1);
    const core::StatusLog addedAlone(added);
    if (!added.endsWith('\n') || addedAlone.endsInsideRecord() || !addedAlone.skippedLines().isEmpty())
        return 0;
    QByteArray whole = file.toByteArray();
    if (!whole.isEmpty() && !whole.endsWith('\n'))
        whole += "\r\n";
    whole += added;
    log.add(added);
    check(log, whole);
    return 0;
}
