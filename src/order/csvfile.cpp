#include "csvfile.h"

#include "datafiles/codepage.h"

#include <csv.h>

#include <algorithm>
#include <map>

namespace core {
namespace {

constexpr char separators[] = { ';', '\t', ',' };

// libcsv's cells are cut to this many bytes as they are handed over: room for
// one character more than longestCell, and an apostrophe before them, in any
// encoding (UTF-8 takes up to four bytes a character).
constexpr size_t longestCellBytes = 4 * (longestCell + 2);

const QByteArray byteOrderMark("\xEF\xBB\xBF");

// Whether a spreadsheet would take the text for a formula, or for one behind
// the apostrophes a written file puts before it.
bool beginsLikeFormula(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u'\'')
        ++i;
    return i < text.size() && QStringView(u"=+-@\t\r").contains(text.at(i));
}

QString cellText(QByteArrayView bytes, TextEncoding encoding)
{
    QString text = encoding == TextEncoding::Windows1252 ? datafiles::decode1252(bytes) : QString::fromUtf8(bytes);
    // The apostrophe a written file puts before a text that begins like a formula.
    if (text.startsWith(u'\'') && beginsLikeFormula(text))
        text.remove(0, 1);
    if (text.size() > longestCell + 1)
        text.truncate(longestCell + 1);
    return text;
}

// The cells of the rows libcsv hands over, and the line each row begins on.
struct Collector
{
    TextEncoding encoding = TextEncoding::Utf8;
    QList<QStringList> rows;
    QList<int> lines;
    QStringList cells;
    int line = 1; // of the bytes being fed
    int rowLine = 1; // where the row being collected began
    int cellLine = 1; // where the cell being collected began
    int limit = -1; // rows wanted; -1 for all

    static void cell(void* data, size_t size, void* self)
    {
        auto* c = static_cast<Collector*>(self);
        const QByteArrayView bytes(static_cast<const char*>(data),
                                   data ? qsizetype(std::min(size, longestCellBytes)) : 0);
        c->cells.append(cellText(bytes, c->encoding));
        // The next cell begins after the separator, on this line.
        c->cellLine = c->line;
    }

    static void rowEnd(int, void* self)
    {
        auto* c = static_cast<Collector*>(self);
        const bool empty = std::all_of(c->cells.begin(), c->cells.end(),
                                       [](const QString& cell) { return cell.trimmed().isEmpty(); });
        if (!empty && (c->limit < 0 || c->rows.size() < c->limit)) {
            c->rows.append(c->cells);
            c->lines.append(c->rowLine);
        }
        c->cells.clear();
    }
};

struct Parsed
{
    Collector collected;
    int openQuote = 0; // the line of a quote that opens a cell and is never closed
};

// The file's rows with the separator, fed a line at a time so that each row
// and each cell knows its line; CR, LF and CR LF each end one.
Parsed parse(QByteArrayView bytes, TextEncoding encoding, char separator, int limit)
{
    Parsed parsed;
    Collector& collected = parsed.collected;
    collected.encoding = encoding;
    collected.limit = limit;
    csv_parser parser;
    if (csv_init(&parser, 0) != 0)
        return parsed;
    csv_set_delim(&parser, static_cast<unsigned char>(separator));
    const char* const data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype pos = 0;
    while (pos < size && (limit < 0 || collected.rows.size() < limit)) {
        qsizetype end = pos;
        while (end < size && data[end] != '\n' && data[end] != '\r')
            ++end;
        if (end < size)
            end += data[end] == '\r' && end + 1 < size && data[end + 1] == '\n' ? 2 : 1;
        // Between rows: the next one begins on this line.
        if (collected.cells.isEmpty() && !parser.quoted)
            collected.rowLine = collected.cellLine = collected.line;
        csv_parse(&parser, data + pos, size_t(end - pos), &Collector::cell, &Collector::rowEnd, &collected);
        ++collected.line;
        pos = end;
    }
    // A quoted cell at the end: a line end closes its row only where its
    // closing quote has been read.
    if (limit < 0 && parser.quoted) {
        csv_parse(&parser, "\n", 1, &Collector::cell, &Collector::rowEnd, &collected);
        if (parser.quoted)
            parsed.openQuote = collected.cellLine;
    }
    csv_fini(&parser, &Collector::cell, &Collector::rowEnd, &collected);
    csv_free(&parser);
    return parsed;
}

char detectSeparator(QByteArrayView bytes, TextEncoding encoding)
{
    constexpr int sampleRows = 50;
    char best = ';';
    qsizetype bestScore = 0;
    for (char separator : separators) {
        const Parsed sample = parse(bytes, encoding, separator, sampleRows);
        std::map<qsizetype, qsizetype> counts;
        for (const QStringList& row : sample.collected.rows)
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

// Where a text that stands before a place in the file ends: "rad 3, kolumn
// 14", counted as a text editor counts them.
QString placeAfter(QStringView before)
{
    int line = 1;
    int column = 1;
    for (qsizetype i = 0; i < before.size(); ++i) {
        const QChar c = before.at(i);
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < before.size() && before.at(i + 1) == u'\n')
                ++i;
            ++line;
            column = 1;
        } else if (!c.isLowSurrogate()) {
            ++column;
        }
    }
    return QStringLiteral("rad %1, kolumn %2").arg(line).arg(column);
}

struct Utf8Scan
{
    qsizetype firstBad = -1; // the first byte that is no part of a UTF-8 character
    bool multibyte = false; // a character in two to four bytes
};

Utf8Scan scanUtf8(QByteArrayView bytes)
{
    Utf8Scan scan;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const unsigned char lead = data[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        char32_t code = 0;
        char32_t least = 0;
        if ((lead & 0xE0) == 0xC0) {
            length = 2;
            code = lead & 0x1F;
            least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            code = lead & 0x0F;
            least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            code = lead & 0x07;
            least = 0x10000;
        }
        bool whole = length > 0 && i + length <= size;
        for (int k = 1; whole && k < length; ++k) {
            whole = (data[i + k] & 0xC0) == 0x80;
            code = (code << 6) | (data[i + k] & 0x3F);
        }
        if (!whole || code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            if (scan.firstBad < 0)
                scan.firstBad = i;
            ++i;
            continue;
        }
        scan.multibyte = true;
        i += length;
    }
    return scan;
}

struct Utf16Read
{
    QString text;
    QString refused; // why the bytes are no UTF-16
};

Utf16Read readUtf16(QByteArrayView bytes, bool littleEndian)
{
    Utf16Read read;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype units = bytes.size() / 2;
    read.text.resize(units);
    for (qsizetype i = 0; i < units; ++i) {
        const unsigned char first = data[2 * i];
        const unsigned char second = data[2 * i + 1];
        read.text[i] = QChar(littleEndian ? char16_t(first | second << 8) : char16_t(first << 8 | second));
    }
    qsizetype bad = bytes.size() % 2 ? units : -1;
    for (qsizetype i = 0; i < units; ++i) {
        const QChar c = read.text.at(i);
        if (c.isHighSurrogate() && i + 1 < units && read.text.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            bad = i;
            break;
        }
    }
    if (bad >= 0)
        read.refused = QStringLiteral("filen är skriven i UTF-16, men tecknet på %1 är inte giltig UTF-16; spara "
                                      "listan på nytt och försök igen")
                           .arg(placeAfter(QStringView(read.text).first(bad)));
    return read;
}

QString byteName(char byte)
{
    return QStringLiteral("%1").arg(uint(static_cast<unsigned char>(byte)), 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

CsvFile readCsv(QByteArrayView bytes)
{
    CsvFile file;
    QByteArray fromUtf16;
    if (bytes.startsWith(byteOrderMark)) {
        file.encoding = TextEncoding::Utf8WithBom;
        bytes = bytes.sliced(byteOrderMark.size());
    } else if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        const bool littleEndian = bytes.front() == '\xFF';
        file.encoding = littleEndian ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
        const Utf16Read read = readUtf16(bytes.sliced(2), littleEndian);
        if (!read.refused.isEmpty()) {
            file.refused = datafiles::refusedByRule({}, {}, read.refused);
            return file;
        }
        fromUtf16 = read.text.toUtf8();
        bytes = fromUtf16;
    }
    if (file.encoding == TextEncoding::Utf8 || file.encoding == TextEncoding::Utf8WithBom) {
        const Utf8Scan scan = scanUtf8(bytes);
        if (scan.firstBad >= 0 && (scan.multibyte || file.encoding == TextEncoding::Utf8WithBom)) {
            const QString before = QString::fromUtf8(bytes.first(scan.firstBad));
            file.refused = datafiles::refusedByRule(
                {}, {},
                QStringLiteral("filen är skriven i UTF-8, men byten %1 på %2 hör inte till UTF-8; spara listan som "
                               "UTF-8 och försök igen")
                    .arg(byteName(bytes.at(scan.firstBad)), placeAfter(before)));
            return file;
        }
        if (scan.firstBad >= 0)
            file.encoding = TextEncoding::Windows1252;
    }
    const TextEncoding cells = file.encoding == TextEncoding::Windows1252 ? file.encoding : TextEncoding::Utf8;
    file.separator = detectSeparator(bytes, cells);
    Parsed parsed = parse(bytes, cells, file.separator, -1);
    if (parsed.openQuote > 0) {
        file.refused = datafiles::refusedByRule(
            {}, {},
            QStringLiteral("citattecknet som öppnar en cell på rad %1 stängs aldrig, så resten av filen blir en enda "
                           "cell; rätta filen och försök igen")
                .arg(parsed.openQuote));
        return file;
    }
    for (const QStringList& row : std::as_const(parsed.collected.rows))
        file.columns = std::max(file.columns, int(row.size()));
    file.rows = std::move(parsed.collected.rows);
    file.lines = std::move(parsed.collected.lines);
    return file;
}

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8WithBom:
        return QStringLiteral("UTF-8 med BOM");
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf16LE:
        return QStringLiteral("UTF-16 LE");
    case TextEncoding::Utf16BE:
        return QStringLiteral("UTF-16 BE");
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
    // The apostrophe goes inside the quotes, where a spreadsheet reads it as
    // the start of the text.
    const QString guarded = beginsLikeFormula(cell) ? u'\'' + cell.toString() : QString();
    const QStringView written = guarded.isNull() ? cell : QStringView(guarded);
    const bool quoted = written.contains(u';') || written.contains(u'"') || written.contains(u'\n')
        || written.contains(u'\r') || (!written.isEmpty() && (written.front().isSpace() || written.back().isSpace()));
    if (!quoted) {
        m_cells += written;
        return *this;
    }
    m_cells += u'"';
    for (QChar c : written) {
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
