#include "csvfile.h"

#include "datafiles/codepage.h"

#include <QStringDecoder>

#include <csv.h>

#include <algorithm>
#include <map>

namespace core {
namespace {

constexpr char separators[] = { ';', '\t', ',' };

// The cells of the rows libcsv hands over, and the line each row begins on.
struct Collector
{
    QList<QList<QByteArray>> rows;
    QList<int> lines;
    QList<QByteArray> cells;
    int line = 1; // of the bytes being fed
    int rowLine = 0; // where the row being collected began
    int limit = -1; // rows wanted; -1 for all

    static void cell(void* data, size_t size, void* self)
    {
        auto* c = static_cast<Collector*>(self);
        const QByteArray text(static_cast<const char*>(data), qsizetype(data ? size : 0));
        if (c->cells.isEmpty())
            c->rowLine = c->line - int(text.count('\n'));
        c->cells.append(text);
    }

    static void rowEnd(int, void* self)
    {
        auto* c = static_cast<Collector*>(self);
        const bool empty = std::all_of(c->cells.begin(), c->cells.end(),
                                       [](const QByteArray& cell) { return cell.trimmed().isEmpty(); });
        if (!empty && (c->limit < 0 || c->rows.size() < c->limit)) {
            c->rows.append(c->cells);
            c->lines.append(c->rowLine);
        }
        c->cells.clear();
    }
};

// The file's rows with the separator, fed a line at a time so that each row
// knows its line.
Collector parse(QByteArrayView bytes, char separator, int limit)
{
    Collector collected;
    collected.limit = limit;
    csv_parser parser;
    if (csv_init(&parser, 0) != 0)
        return collected;
    csv_set_delim(&parser, static_cast<unsigned char>(separator));
    // A file of lone CRs (an old Mac) has its lines parted by them.
    const char lineEnd = bytes.contains('\n') ? '\n' : '\r';
    qsizetype pos = 0;
    while (pos < bytes.size() && (limit < 0 || collected.rows.size() < limit)) {
        qsizetype next = bytes.indexOf(lineEnd, pos);
        next = next < 0 ? bytes.size() : next + 1;
        csv_parse(&parser, bytes.data() + pos, size_t(next - pos), &Collector::cell, &Collector::rowEnd, &collected);
        ++collected.line;
        pos = next;
    }
    // A last row without a line end is handed over at the end, on its own line.
    if (pos > 0 && !bytes.endsWith(lineEnd))
        --collected.line;
    csv_fini(&parser, &Collector::cell, &Collector::rowEnd, &collected);
    csv_free(&parser);
    return collected;
}

char detectSeparator(QByteArrayView bytes)
{
    constexpr int sampleRows = 50;
    char best = ';';
    qsizetype bestScore = 0;
    for (char separator : separators) {
        const Collector sample = parse(bytes, separator, sampleRows);
        std::map<qsizetype, qsizetype> counts;
        for (const QList<QByteArray>& row : sample.rows)
            ++counts[row.size()];
        // The rows that have the most usual number of cells, when that is more than one.
        qsizetype score = 0;
        for (const auto& [cells, rows] : counts) {
            if (cells > 1)
                score = std::max(score, rows * 1000 + cells);
        }
        if (score > bestScore) {
            best = separator;
            bestScore = score;
        }
    }
    return best;
}

const QByteArray byteOrderMark("\xEF\xBB\xBF");

bool allDigits(QStringView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// "99.50", "-2", "12.5": digits with at most one decimal point between them.
bool isPlainNumber(QStringView text)
{
    if (text.startsWith(u'-'))
        text = text.sliced(1);
    const qsizetype point = text.indexOf(u'.');
    return point < 0 ? allDigits(text) : allDigits(text.first(point)) && allDigits(text.sliced(point + 1));
}

bool isUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    Q_UNUSED(decoded);
    return !decoder.hasError();
}

} // namespace

CsvFile readCsv(QByteArrayView bytes)
{
    CsvFile file;
    if (bytes.startsWith(byteOrderMark)) {
        file.encoding = TextEncoding::Utf8WithBom;
        bytes = bytes.sliced(byteOrderMark.size());
    } else {
        file.encoding = isUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    }
    file.separator = detectSeparator(bytes);
    const Collector collected = parse(bytes, file.separator, -1);
    file.rows.reserve(collected.rows.size());
    for (const QList<QByteArray>& row : collected.rows) {
        QStringList cells;
        cells.reserve(row.size());
        for (const QByteArray& cell : row) {
            cells.append(file.encoding == TextEncoding::Windows1252 ? datafiles::decode1252(cell)
                                                                    : QString::fromUtf8(cell));
        }
        file.columns = std::max(file.columns, int(cells.size()));
        file.rows.append(cells);
    }
    file.lines = collected.lines;
    return file;
}

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8WithBom:
        return QStringLiteral("UTF-8 med BOM");
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Windows1252:
        break;
    }
    return QStringLiteral("Windows-1252");
}

QString separatorName(char separator)
{
    switch (separator) {
    case ';':
        return QStringLiteral("semikolon");
    case '\t':
        return QStringLiteral("tabb");
    default:
        return QStringLiteral("komma");
    }
}

QByteArray spreadsheetStart()
{
    return byteOrderMark;
}

void SpreadsheetRow::startCell()
{
    if (!m_empty)
        m_cells += u';';
    m_empty = false;
}

// Every text of a written file goes into its cell here.
SpreadsheetRow& SpreadsheetRow::text(QStringView cell)
{
    startCell();
    const bool quoted = cell.contains(u';') || cell.contains(u'"') || cell.contains(u'\n') || cell.contains(u'\r')
        || (!cell.isEmpty() && (cell.front().isSpace() || cell.back().isSpace()));
    if (!quoted) {
        m_cells += cell;
        return *this;
    }
    m_cells += u'"';
    for (QChar c : cell) {
        if (c == u'"')
            m_cells += u'"';
        m_cells += c;
    }
    m_cells += u'"';
    return *this;
}

SpreadsheetRow& SpreadsheetRow::texts(const QStringList& cells)
{
    for (const QString& cell : cells)
        text(cell);
    return *this;
}

SpreadsheetRow& SpreadsheetRow::number(QStringView cell)
{
    if (!isPlainNumber(cell))
        return text(cell);
    startCell();
    for (QChar c : cell)
        m_cells += c == u'.' ? QChar(u',') : c;
    return *this;
}

QByteArray SpreadsheetRow::bytes() const
{
    return (m_cells + QStringLiteral("\r\n")).toUtf8();
}

QByteArray spreadsheetBytes(const QList<QStringList>& rows)
{
    QByteArray bytes = spreadsheetStart();
    for (const QStringList& row : rows)
        bytes += SpreadsheetRow().texts(row).bytes();
    return bytes;
}

} // namespace core
