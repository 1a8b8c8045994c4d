#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtEndian>

#include <cstring>
#include <map>
#include <set>
#include <vector>

// The record forms of the data files.
//
// Written: a quoted record is the texts, each in double quotes, joined by single
// commas, then CR LF; a plain line is one value, then CR LF.
//
// Read: a field stream takes comma-separated fields one after another. A field
// that begins with a double quote runs to the next double quote (the quotes are
// not part of it); any other field runs to the next comma or line end, blanks
// before it skipped. A line end separates fields as a comma does, so a record of
// n fields is simply the next n fields. A whole line is everything up to the
// line end.
namespace datafiles {

// Where one field stands in the bytes of its file.
struct FieldSpan
{
    quint32 begin = 0;
    quint32 end = 0;
};

class FieldStream
{
public:
    // A stream that starts part-way through a line, just after a comma, is not
    // at a line start: an empty line end there ends an empty field.
    explicit FieldStream(QByteArrayView bytes, bool atLineStart = true)
        : m_bytes(bytes)
        , m_atLineStart(atLineStart)
    {
    }

    // True when nothing but blanks and line ends is left.
    inline bool atEnd();
    // Reads the next field; false at the end of the bytes.
    inline bool next(FieldSpan* field);
    // True when a quoted field ran to the end of the bytes without its closing quote.
    bool sawUnclosedQuote() const { return m_unclosedQuote; }
    // Where the next field begins: just after the separator of the last one.
    qsizetype position() const { return m_pos; }
    // True when the last field ended at a comma: another field of its record
    // follows, even an empty one at the end of the bytes.
    bool afterComma() const { return !m_atLineStart; }

private:
    static bool isBlank(char c) { return c == ' ' || c == '\t'; }
    static bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
    inline void skipBlanks();

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    bool m_atLineStart = true;
    bool m_unclosedQuote = false;
};

// The records of n fields of a file one after another, exactly as a field
// stream takes them. A line of n quoted fields without blanks, the form of
// every record the program writes, is taken in one quick step; anything else
// goes field by field.
class RecordReader
{
public:
    RecordReader(QByteArrayView bytes, int fieldsPerRecord)
        : m_bytes(bytes)
        , m_fieldsPerRecord(fieldsPerRecord)
    {
    }

    // Reads the next record's fields, n of them, placed in the bytes; false
    // when no further whole record is left.
    inline bool next(FieldSpan* fields);
    // True when the bytes ended part-way through a record.
    bool endsInsideRecord() const { return m_endsInsideRecord; }
    // Where the last record read begins, and whether it begins a line: a
    // field stream started there with that reads it again.
    qsizetype recordBegin() const { return m_begin; }
    bool recordAtLineStart() const { return m_beginAtLineStart; }

private:
    inline bool nextQuoted(FieldSpan* fields);

    QByteArrayView m_bytes;
    int m_fieldsPerRecord;
    qsizetype m_pos = 0;
    bool m_atLineStart = true;
    qsizetype m_begin = 0;
    bool m_beginAtLineStart = true;
    bool m_endsInsideRecord = false;
};

// All complete records of n fields of a file, kept as the file's bytes and the
// places of the fields, so that even a register of a million products takes
// little more memory than the file itself.
class RecordTable
{
public:
    RecordTable() = default;
    static RecordTable parse(QByteArray bytes, int fieldsPerRecord);

    int fieldsPerRecord() const { return m_fieldsPerRecord; }
    qsizetype recordCount() const;
    QString field(qsizetype record, int field) const;
    QByteArrayView fieldBytes(qsizetype record, int field) const;
    QStringList record(qsizetype record) const;
    // True when the file ended part-way through a record; that record is left out.
    bool endsInsideRecord() const { return m_endsInsideRecord; }
    // The file's bytes, the cut record at its end included.
    QByteArrayView bytes() const { return m_bytes; }
    // Where the record begins in the bytes: at its first field's opening quote,
    // or its first letter when unquoted.
    qsizetype recordStart(qsizetype record) const;

private:
    QByteArray m_bytes;
    std::vector<FieldSpan> m_fields;
    int m_fieldsPerRecord = 1;
    bool m_endsInsideRecord = false;
};

// The complete records of n fields as texts; *endsInsideRecord tells whether the
// file ended part-way through a record.
QList<QStringList> readRecords(QByteArrayView bytes, int fieldsPerRecord, bool* endsInsideRecord = nullptr);

// How many bytes at the start of a file of records of n fields hold its
// complete records: the whole file, unless it ends part-way through a record;
// then the bytes up to the end of the last complete record and its line end.
qsizetype wholeRecordsLength(QByteArrayView bytes, int fieldsPerRecord);

// A file of one record a line, such as the status file: each line is read as
// a field stream of its own, so that a line of more or fewer fields than a
// record's (a hand edit) shifts no later record but is passed over and named
// by its number. A line end is CR LF, a lone CR or a lone LF; blank lines
// are passed over without a word. A last line without its line end that is
// no whole record is a record cut short.
class LineRecordReader
{
public:
    LineRecordReader(QByteArrayView bytes, int fieldsPerRecord);

    // Reads the next whole record's fields, n of them, placed in the bytes;
    // false when no further one is left.
    bool next(FieldSpan* fields);
    // The lines passed over so far, counted from 1.
    const QList<qsizetype>& skippedLines() const { return m_skipped; }
    bool endsInsideRecord() const { return m_endsInsideRecord; }

private:
    QByteArrayView m_bytes;
    int m_fieldsPerRecord;
    std::vector<FieldSpan> m_spare;
    qsizetype m_pos = 0;
    qsizetype m_line = 0;
    QList<qsizetype> m_skipped;
    bool m_endsInsideRecord = false;
};

// How many bytes at the start of a file of one record a line hold its whole
// lines: all of them, unless the last line has no line end and is no whole
// record; then the bytes up to that line's start, so that a cut never falls
// inside a line.
qsizetype wholeLinesLength(QByteArrayView bytes, int fieldsPerRecord);

// The lines of a file, without their line ends (CR LF, a lone CR or a lone LF);
// a last line without a line end is read too, and an empty file has no lines.
QStringList readLines(QByteArrayView bytes);

// The inch mark as the files keep it: a quoted record cannot hold a double
// quote inside a field, so the '"' the operator types or a list gives (as in
// Kopparrör 1/2" 3 m) is stored as the right double quotation mark, 0x94 in
// Windows-1252, which looks alike. Every text box and import applies it.
inline constexpr char16_t storedInchMark = u'\u201D';
QString withStoredInchMarks(QStringView text);

// What a text becomes inside a quoted record: a double quote would end the
// field early and a line break would end the record, so a '"' becomes the
// stored inch mark and a CR or LF a blank. Every record the program writes
// reads back as written.
QString textForRecord(QStringView text);

QByteArray quotedRecord(const QStringList& texts);

// Why a text cannot be stored in a quoted record as it stands: a double quote
// would end its field and a line break its record, and a character outside
// Windows-1252 would change on its way to disk. Empty when it can.
QString recordTextProblem(QStringView text);

// Changes to a file of records: records replaced or removed by their place,
// and new records added at the end.
struct RecordChanges
{
    std::map<qsizetype, QStringList> replaced;
    std::set<qsizetype> removed;
    QList<QStringList> added;

    bool isEmpty() const { return replaced.empty() && removed.empty() && added.isEmpty(); }
};

// A file of records with changes made to it. Every record the changes do not
// touch keeps its bytes exactly, with what stands between it and the next
// record, whatever form it was written in; a replaced or added record is a
// quoted record. A record the file was cut short in is dropped. The new bytes
// are read back as the registers read them, and `problem` says why when they
// would not give exactly the intended records; `readBack` is what they give.
struct RecordRewrite
{
    QByteArray bytes;
    RecordTable readBack;
    QString problem;
};

RecordRewrite rewriteRecords(const RecordTable& table, const RecordChanges& changes);
QByteArray plainLine(QStringView value);

// The stream is read field by field over files of a million records, so its
// steps are inline.
inline void FieldStream::skipBlanks()
{
    // After a line end, further line ends are empty lines and carry no field.
    while (m_pos < m_bytes.size()) {
        const char c = m_bytes[m_pos];
        if (isBlank(c) || (m_atLineStart && isLineEnd(c)))
            ++m_pos;
        else
            break;
    }
}

inline bool FieldStream::atEnd()
{
    // A comma promises one more field, be it empty: "a,b," ends inside a record.
    if (!m_atLineStart)
        return false;
    qsizetype pos = m_pos;
    while (pos < m_bytes.size() && (isBlank(m_bytes[pos]) || isLineEnd(m_bytes[pos])))
        ++pos;
    return pos >= m_bytes.size();
}

inline bool FieldStream::next(FieldSpan* field)
{
    skipBlanks();
    const qsizetype size = m_bytes.size();
    // A comma at the very end of the bytes starts no field: a file cut there
    // ends inside its record.
    if (m_pos >= size)
        return false;

    const char* data = m_bytes.data();
    qsizetype begin = m_pos;
    qsizetype end = m_pos;
    if (data[m_pos] == '"') {
        begin = m_pos + 1;
        const void* quote = std::memchr(data + begin, '"', size_t(size - begin));
        if (quote) {
            end = static_cast<const char*>(quote) - data;
            m_pos = end + 1;
        } else {
            end = size;
            m_pos = size;
            m_unclosedQuote = true;
        }
        // Anything between the closing quote and the separator is passed over.
        while (m_pos < size && data[m_pos] != ',' && !isLineEnd(data[m_pos]))
            ++m_pos;
    } else {
        while (m_pos < size && data[m_pos] != ',' && !isLineEnd(data[m_pos]))
            ++m_pos;
        end = m_pos;
    }

    if (m_pos >= size) {
        m_atLineStart = true;
    } else if (data[m_pos] == ',') {
        ++m_pos;
        m_atLineStart = false;
    } else {
        if (data[m_pos] == '\r' && m_pos + 1 < size && data[m_pos + 1] == '\n')
            ++m_pos;
        ++m_pos;
        m_atLineStart = true;
    }

    field->begin = quint32(begin);
    field->end = quint32(end);
    return true;
}

// Where the next double quote from `pos` on stands; `size` when there is none.
// Eight bytes are looked at in one step.
inline qsizetype nextQuote(const char* data, qsizetype pos, qsizetype size)
{
    constexpr quint64 ones = 0x0101010101010101ull;
    for (; pos + 8 <= size; pos += 8) {
        const quint64 x = qFromLittleEndian<quint64>(data + pos) ^ (ones * '"');
        // The lowest byte flagged is the first that was a quote.
        if (const quint64 quotes = (x - ones) & ~x & (ones * 0x80))
            return pos + qCountTrailingZeroBits(quotes) / 8;
    }
    while (pos < size && data[pos] != '"')
        ++pos;
    return pos;
}

inline bool RecordReader::nextQuoted(FieldSpan* fields)
{
    const char* data = m_bytes.data();
    const qsizetype size = m_bytes.size();
    qsizetype pos = m_pos;
    while (pos < size && (data[pos] == '\r' || data[pos] == '\n'))
        ++pos;
    for (int f = 0; f < m_fieldsPerRecord; ++f) {
        if (pos >= size || data[pos] != '"')
            return false;
        const qsizetype end = nextQuote(data, pos + 1, size);
        if (end >= size)
            return false;
        fields[f] = { quint32(pos + 1), quint32(end) };
        pos = end + 1;
        if (f + 1 < m_fieldsPerRecord) {
            if (pos >= size || data[pos] != ',')
                return false;
            ++pos;
        }
    }
    if (pos < size) {
        if (data[pos] == '\r' && pos + 1 < size && data[pos + 1] == '\n')
            pos += 2;
        else if (data[pos] == '\r' || data[pos] == '\n')
            ++pos;
        else
            return false;
    }
    m_pos = pos;
    return true;
}

inline bool RecordReader::next(FieldSpan* fields)
{
    m_begin = m_pos;
    m_beginAtLineStart = m_atLineStart;
    if (m_endsInsideRecord)
        return false;
    if (m_atLineStart && nextQuoted(fields))
        return true;
    FieldStream stream(m_bytes.sliced(m_pos), m_atLineStart);
    if (stream.atEnd())
        return false;
    int taken = 0;
    while (taken < m_fieldsPerRecord && stream.next(&fields[taken]))
        ++taken;
    if (taken < m_fieldsPerRecord || stream.sawUnclosedQuote()) {
        m_endsInsideRecord = true;
        return false;
    }
    for (int f = 0; f < taken; ++f) {
        fields[f].begin += quint32(m_pos);
        fields[f].end += quint32(m_pos);
    }
    m_pos += stream.position();
    m_atLineStart = !stream.afterComma();
    return true;
}

} // namespace datafiles
