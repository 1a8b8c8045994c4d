#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

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
    explicit FieldStream(QByteArrayView bytes);

    // True when nothing but blanks and line ends is left.
    bool atEnd();
    // Reads the next field; false at the end of the bytes.
    bool next(FieldSpan* field);
    // True when a quoted field ran to the end of the bytes without its closing quote.
    bool sawUnclosedQuote() const { return m_unclosedQuote; }
    // Where the next field begins: just after the separator of the last one.
    qsizetype position() const { return m_pos; }
    // True when the last field ended at a comma: another field of its record
    // follows, even an empty one at the end of the bytes.
    bool afterComma() const { return !m_atLineStart; }

private:
    void skipBlanks();

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    bool m_atLineStart = true;
    bool m_unclosedQuote = false;
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

// The lines of a file, without their line ends (CR LF, a lone CR or a lone LF);
// a last line without a line end is read too, and an empty file has no lines.
QStringList readLines(QByteArrayView bytes);

// What a text becomes inside a quoted record: a double quote would end the
// field early and a line break would end the record, so a '"' becomes "'" and
// a CR or LF a blank. Every record the program writes reads back as written.
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

} // namespace datafiles
