// The field-stream reader on any bytes, and the quoted-record writer read back by
// it: whole files and files cut short at any byte.
//
// Input: the first byte gives the number of fields per record (1 to 7); the
// rest is the file. For the writer, the rest is split into texts at 0x1F.
#include "datafiles/codepage.h"
#include "datafiles/records.h"
#include "fuzzcheck.h"

#include <vector>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Any bytes: every field lies inside the bytes, after the one before it; a
// quoted field holds no quote, another field no separator and no leading
// blank; the table holds the first fields of the stream, n to a record.
void checkArbitraryBytes(QByteArrayView bytes, int n)
{
    std::vector<datafiles::FieldSpan> spans;
    datafiles::FieldStream stream(bytes);
    datafiles::FieldSpan span;
    quint32 previousEnd = 0;
    while (stream.next(&span)) {
        FUZZ_CHECK(span.begin <= span.end && span.end <= quint32(bytes.size()));
        FUZZ_CHECK(span.begin >= previousEnd);
        const QByteArrayView field = bytes.sliced(span.begin, span.end - span.begin);
        // A field that follows a quote is a quoted one: others follow a separator or blanks.
        const bool quoted = span.begin > 0 && bytes[span.begin - 1] == '"';
        if (quoted) {
            FUZZ_CHECK(!field.contains('"'));
        } else {
            FUZZ_CHECK(!field.contains(',') && !field.contains('\r') && !field.contains('\n'));
            FUZZ_CHECK(field.isEmpty() || !isBlank(field.front()));
        }
        previousEnd = span.end;
        spans.push_back(span);
        FUZZ_CHECK(spans.size() <= size_t(bytes.size()) + 1);
    }

    const datafiles::RecordTable table = datafiles::RecordTable::parse(bytes.toByteArray(), n);
    FUZZ_CHECK(table.fieldsPerRecord() == n);
    const qsizetype fields = table.recordCount() * n;
    // What is left after the records is at most one record, cut short.
    FUZZ_CHECK(fields <= qsizetype(spans.size()) && qsizetype(spans.size()) - fields <= n);
    bool endsInsideRecord = false;
    const QList<QStringList> records = datafiles::readRecords(bytes, n, &endsInsideRecord);
    FUZZ_CHECK(records.size() == table.recordCount());
    FUZZ_CHECK(endsInsideRecord == table.endsInsideRecord());
    for (qsizetype r = 0; r < table.recordCount(); ++r) {
        FUZZ_CHECK(records.at(r).size() == n);
        for (int f = 0; f < n; ++f) {
            const datafiles::FieldSpan& expected = spans[size_t(r * n + f)];
            const QByteArrayView got = table.fieldBytes(r, f);
            FUZZ_CHECK(got == bytes.sliced(expected.begin, expected.end - expected.begin));
            FUZZ_CHECK(records.at(r).at(f) == datafiles::decode1252(got));
        }
    }
}

// Quoted records written by the program read back as the texts written, and a
// copy cut short at any byte reads back as the records wholly inside it.
void checkWrittenRecords(QByteArrayView rest, int n, size_t cutChoice)
{
    QStringList texts;
    for (QByteArrayView piece : QByteArray(rest.toByteArray()).split('\x1F'))
        texts.append(datafiles::decode1252(piece));
    while (texts.size() % n != 0)
        texts.append(QString());

    QByteArray file;
    std::vector<qsizetype> recordEnds; // just after the closing quote of each record
    for (qsizetype i = 0; i < texts.size(); i += n) {
        file += datafiles::quotedRecord(texts.mid(i, n));
        recordEnds.push_back(file.size() - 2);
    }
    const qsizetype recordsWritten = texts.size() / n;

    // One line a record, whatever the texts hold, with a quote around each text.
    const QStringList lines = datafiles::readLines(file);
    FUZZ_CHECK(lines.size() == recordsWritten);
    for (const QString& line : lines)
        FUZZ_CHECK(line.count(u'"') == 2 * n);

    const datafiles::RecordTable table = datafiles::RecordTable::parse(file, n);
    FUZZ_CHECK(table.recordCount() == recordsWritten);
    FUZZ_CHECK(!table.endsInsideRecord());
    for (qsizetype r = 0; r < recordsWritten; ++r) {
        for (int f = 0; f < n; ++f)
            FUZZ_CHECK(table.field(r, f) == datafiles::textForRecord(texts.at(r * n + f)));
    }

    const qsizetype cut = qsizetype(cutChoice % size_t(file.size() + 1));
    qsizetype whole = 0;
    while (whole < recordsWritten && recordEnds[size_t(whole)] <= cut)
        ++whole;
    const qsizetype nextRecordStart = whole == 0 ? 0 : recordEnds[size_t(whole - 1)] + 2;
    const bool cutInsideRecord = whole < recordsWritten && cut > nextRecordStart;
    const datafiles::RecordTable shortened = datafiles::RecordTable::parse(file.left(cut), n);
    if (shortened.recordCount() != whole || shortened.endsInsideRecord() != cutInsideRecord) {
        std::fprintf(stderr,
                     "\nFile cut after %lld of %lld bytes, %d fields a record: %s\n"
                     "records wholly inside: %lld, read: %lld; cut inside a record: %d, "
                     "reported: %d\n",
                     qlonglong(cut), qlonglong(file.size()), n, fuzzHex(file.left(cut)).constData(), qlonglong(whole),
                     qlonglong(shortened.recordCount()), int(cutInsideRecord), int(shortened.endsInsideRecord()));
    }
    FUZZ_CHECK(shortened.recordCount() == whole);
    FUZZ_CHECK(shortened.endsInsideRecord() == cutInsideRecord);
    for (qsizetype r = 0; r < whole; ++r) {
        for (int f = 0; f < n; ++f)
            FUZZ_CHECK(shortened.field(r, f) == table.field(r, f));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const int n = data[0] % 7 + 1;
    const QByteArrayView rest = fuzzBytes(data + 1, size - 1);
    checkArbitraryBytes(rest, n);
    checkWrittenRecords(rest, n, size_t(data[0] / 7) * 131 + size);
    return 0;
}
