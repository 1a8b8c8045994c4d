#include "records.h"

#include "codepage.h"

#include <algorithm>
#include <cstring>

namespace datafiles {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// True when the field is empty and nothing but blanks stands between it and
// the start of its line.
bool emptyAtLineStart(QByteArrayView bytes, const FieldSpan& field)
{
    if (field.begin != field.end)
        return false;
    qsizetype pos = field.begin;
    while (pos > 0 && isBlank(bytes[pos - 1]))
        --pos;
    return pos == 0 || isLineEnd(bytes[pos - 1]);
}

} // namespace

RecordTable RecordTable::parse(QByteArray bytes, int fieldsPerRecord)
{
    Q_ASSERT(fieldsPerRecord > 0);
    Q_ASSERT(bytes.size() < qsizetype(0xFFFFFFFFu));
    RecordTable table;
    table.m_fieldsPerRecord = fieldsPerRecord;
    table.m_bytes = std::move(bytes);
    // One record a line is the usual case; reserving for it keeps a register of a
    // million products from growing the vector, and its copies, many times.
    const qsizetype lines = table.m_bytes.count('\n') + 1;
    table.m_fields.reserve(size_t(lines) * size_t(fieldsPerRecord));

    RecordReader reader(table.m_bytes, fieldsPerRecord);
    std::vector<FieldSpan> record(static_cast<size_t>(fieldsPerRecord));
    while (reader.next(record.data()))
        table.m_fields.insert(table.m_fields.end(), record.begin(), record.end());
    table.m_endsInsideRecord = reader.endsInsideRecord();
    return table;
}

qsizetype RecordTable::recordCount() const
{
    return qsizetype(m_fields.size()) / m_fieldsPerRecord;
}

QByteArrayView RecordTable::fieldBytes(qsizetype record, int field) const
{
    const FieldSpan& span = m_fields[size_t(record * m_fieldsPerRecord + field)];
    return QByteArrayView(m_bytes.constData() + span.begin, span.end - span.begin);
}

QString RecordTable::field(qsizetype record, int field) const
{
    return decode1252(fieldBytes(record, field));
}

QStringList RecordTable::record(qsizetype record) const
{
    QStringList texts;
    texts.reserve(m_fieldsPerRecord);
    for (int f = 0; f < m_fieldsPerRecord; ++f)
        texts.append(field(record, f));
    return texts;
}

qsizetype RecordTable::recordStart(qsizetype record) const
{
    const FieldSpan& first = m_fields[size_t(record * m_fieldsPerRecord)];
    qsizetype start = first.begin;
    // An unquoted field never follows a quote directly, so a quote just before
    // the field is its own.
    if (start > 0 && m_bytes.at(start - 1) == '"')
        --start;
    return start;
}

qsizetype wholeRecordsLength(QByteArrayView bytes, int fieldsPerRecord)
{
    Q_ASSERT(fieldsPerRecord > 0);
    FieldStream stream(bytes);
    FieldSpan span;
    qsizetype whole = 0;
    while (!stream.atEnd()) {
        int taken = 0;
        while (taken < fieldsPerRecord && stream.next(&span))
            ++taken;
        if (taken < fieldsPerRecord || stream.sawUnclosedQuote())
            return whole;
        // A record that ends at a comma keeps its last field, not the comma.
        whole = stream.afterComma() ? stream.position() - 1 : stream.position();
    }
    return bytes.size();
}

namespace {

// True when the line holds exactly one record of n fields, which are placed
// in `fields`; `spare` has room for n fields more.
bool isOneRecord(QByteArrayView line, int fieldsPerRecord, FieldSpan* fields, FieldSpan* spare)
{
    RecordReader reader(line, fieldsPerRecord);
    return reader.next(fields) && !reader.next(spare) && !reader.endsInsideRecord();
}

bool isBlankLine(QByteArrayView line)
{
    return std::all_of(line.begin(), line.end(), isBlank);
}

// Where the line that begins at `pos` ends, and where the next one begins.
// The status file has two million lines: the line end is looked for a word at
// a time.
std::pair<qsizetype, qsizetype> lineFrom(QByteArrayView bytes, qsizetype pos)
{
    const char* data = bytes.data();
    const qsizetype size = bytes.size();
    const void* lineFeed = std::memchr(data + pos, '\n', size_t(size - pos));
    const qsizetype feed = lineFeed ? static_cast<const char*>(lineFeed) - data : size;
    const void* carriageReturn = std::memchr(data + pos, '\r', size_t(feed - pos));
    if (!carriageReturn)
        return { feed, feed < size ? feed + 1 : size };
    const qsizetype end = static_cast<const char*>(carriageReturn) - data;
    return { end, end + 1 == feed ? feed + 1 : end + 1 };
}

} // namespace

LineRecordReader::LineRecordReader(QByteArrayView bytes, int fieldsPerRecord)
    : m_bytes(bytes)
    , m_fieldsPerRecord(fieldsPerRecord)
    , m_spare(size_t(fieldsPerRecord))
{
    Q_ASSERT(fieldsPerRecord > 0);
}

bool LineRecordReader::next(FieldSpan* fields)
{
    while (m_pos < m_bytes.size()) {
        const qsizetype begin = m_pos;
        const auto [end, next] = lineFrom(m_bytes, begin);
        m_pos = next;
        ++m_line;
        const QByteArrayView line = m_bytes.sliced(begin, end - begin);
        if (isBlankLine(line))
            continue;
        if (isOneRecord(line, m_fieldsPerRecord, fields, m_spare.data())) {
            for (int f = 0; f < m_fieldsPerRecord; ++f) {
                fields[f].begin += quint32(begin);
                fields[f].end += quint32(begin);
            }
            return true;
        }
        if (end == m_bytes.size()) {
            m_endsInsideRecord = true;
            return false;
        }
        m_skipped.append(m_line);
    }
    return false;
}

qsizetype wholeLinesLength(QByteArrayView bytes, int fieldsPerRecord)
{
    qsizetype lastLine = bytes.size();
    while (lastLine > 0 && !isLineEnd(bytes[lastLine - 1]))
        --lastLine;
    const QByteArrayView line = bytes.sliced(lastLine);
    std::vector<FieldSpan> fields(size_t(fieldsPerRecord) * 2);
    if (isBlankLine(line) || isOneRecord(line, fieldsPerRecord, fields.data(), fields.data() + fieldsPerRecord))
        return bytes.size();
    return lastLine;
}

QList<QStringList> readRecords(QByteArrayView bytes, int fieldsPerRecord, bool* endsInsideRecord)
{
    const RecordTable table = RecordTable::parse(bytes.toByteArray(), fieldsPerRecord);
    QList<QStringList> records;
    records.reserve(table.recordCount());
    for (qsizetype r = 0; r < table.recordCount(); ++r)
        records.append(table.record(r));
    if (endsInsideRecord)
        *endsInsideRecord = table.endsInsideRecord();
    return records;
}

QStringList readLines(QByteArrayView bytes)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    qsizetype pos = 0;
    while (pos < size) {
        const char c = bytes[pos];
        if (c == '\r' || c == '\n') {
            lines.append(decode1252(bytes.sliced(start, pos - start)));
            pos += (c == '\r' && pos + 1 < size && bytes[pos + 1] == '\n') ? 2 : 1;
            start = pos;
        } else {
            ++pos;
        }
    }
    if (start < size)
        lines.append(decode1252(bytes.sliced(start)));
    return lines;
}

QString withStoredInchMarks(QStringView text)
{
    QString stored = text.toString();
    stored.replace(u'"', QChar(storedInchMark));
    return stored;
}

QString textForRecord(QStringView text)
{
    QString safe = withStoredInchMarks(text);
    for (QChar& c : safe) {
        if (c == u'\r' || c == u'\n')
            c = u' ';
    }
    return safe;
}

QByteArray quotedRecord(const QStringList& texts)
{
    QByteArray record;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (i > 0)
            record += ',';
        record += '"';
        record += encode1252(textForRecord(texts.at(i)));
        record += '"';
    }
    record += "\r\n";
    return record;
}

QString recordTextProblem(QStringView text)
{
    for (QChar c : text) {
        if (c == u'"')
            return QStringLiteral("texten \"%1\" innehåller ett citattecken (\"), som registret inte kan lagra")
                .arg(text);
        if (c == u'\r' || c == u'\n')
            return QStringLiteral("texten innehåller en radbrytning, som registret inte kan lagra");
        if (!fitsIn1252(c))
            return QStringLiteral("tecknet %1 i \"%2\" finns inte i Windows-1252").arg(QString(c), text);
    }
    return {};
}

RecordRewrite rewriteRecords(const RecordTable& table, const RecordChanges& changes)
{
    const QByteArrayView bytes = table.bytes();
    const qsizetype records = table.recordCount();
    const qsizetype end = table.endsInsideRecord() ? wholeRecordsLength(bytes, table.fieldsPerRecord()) : bytes.size();
    auto pieceEnd = [&](qsizetype record) {
        return record + 1 < records ? table.recordStart(record + 1) : end;
    };

    RecordRewrite rewrite;
    QByteArray& out = rewrite.bytes;
    out.reserve(end + changes.added.size() * 64);
    // Where each record of the new file comes from: a kept record's old place,
    // or -1 for one written anew (its texts in `written`).
    std::vector<qsizetype> origin;
    origin.reserve(size_t(records + changes.added.size()));
    QList<const QStringList*> written;

    auto endLine = [&out] {
        if (!out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r'))
            out += "\r\n";
    };
    qsizetype keptFrom = -1; // the first of a run of kept records, copied in one piece
    auto flushKept = [&](qsizetype upTo) {
        if (keptFrom < 0)
            return;
        const qsizetype from = keptFrom == 0 ? 0 : table.recordStart(keptFrom);
        if (keptFrom > 0) {
            // The run no longer follows the record it followed in the file: it
            // starts on a line of its own, and an empty first field, which
            // only its separator made, is written out.
            endLine();
            if (table.fieldBytes(keptFrom, 0).isEmpty() && bytes.at(from) != '"')
                out += "\"\"";
        }
        out.append(bytes.sliced(from, pieceEnd(upTo - 1) - from));
        keptFrom = -1;
        if (upTo == records && !table.endsInsideRecord())
            return; // the file's own end
        if (upTo < records) {
            // What comes next is not the record that followed in the file: the
            // run ends at its last field, without the separator that led on.
            // (A file cut short is cut after its last field already.)
            qsizetype last = out.size();
            while (last > 0 && isBlank(out.at(last - 1)))
                --last;
            if (last > 0 && out.at(last - 1) == ',')
                out.truncate(last - 1);
        }
        // An empty last field at the start of a line was made by that
        // separator alone; it is written out.
        const QByteArrayView field = table.fieldBytes(upTo - 1, table.fieldsPerRecord() - 1);
        FieldSpan span;
        span.begin = quint32(field.data() - bytes.data());
        span.end = quint32(span.begin + field.size());
        if (emptyAtLineStart(bytes, span))
            out += "\"\"";
        // The run ends its line: an empty last field ends there, not in what
        // follows.
        endLine();
    };
    auto replaced = changes.replaced.begin();
    for (qsizetype r = 0; r < records; ++r) {
        while (replaced != changes.replaced.end() && replaced->first < r)
            ++replaced;
        const bool isReplaced = replaced != changes.replaced.end() && replaced->first == r;
        if (changes.removed.count(r) || isReplaced) {
            flushKept(r);
            if (!isReplaced)
                continue;
            endLine();
            out += quotedRecord(replaced->second);
            origin.push_back(-1);
            written.append(&replaced->second);
            continue;
        }
        if (keptFrom < 0)
            keptFrom = r;
        origin.push_back(r);
    }
    flushKept(records);
    for (const QStringList& texts : changes.added) {
        endLine();
        out += quotedRecord(texts);
        origin.push_back(-1);
        written.append(&texts);
    }

    rewrite.readBack = RecordTable::parse(out, table.fieldsPerRecord());
    const RecordTable& back = rewrite.readBack;
    const QString wrong
        = QStringLiteral("de nya posterna skulle inte läsas tillbaka som de skrevs; ingenting sparades");
    if (back.endsInsideRecord() || back.recordCount() != qsizetype(origin.size())) {
        rewrite.problem = wrong;
        return rewrite;
    }
    qsizetype next = 0;
    for (qsizetype r = 0; r < back.recordCount(); ++r) {
        for (int f = 0; f < table.fieldsPerRecord(); ++f) {
            const bool same = origin[size_t(r)] >= 0 ? back.fieldBytes(r, f) == table.fieldBytes(origin[size_t(r)], f)
                                                     : back.field(r, f) == written.at(next)->value(f);
            if (!same) {
                rewrite.problem = wrong;
                return rewrite;
            }
        }
        if (origin[size_t(r)] < 0)
            ++next;
    }
    return rewrite;
}

QByteArray plainLine(QStringView value)
{
    return encode1252(value) + "\r\n";
}

} // namespace datafiles
