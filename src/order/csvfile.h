#pragma once

#include "datafiles/failure.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// Spreadsheet files. Read: a price list or a customer list as a spreadsheet or
// a supplier writes it, rows of cells, read with libcsv (quotes, separators and
// line breaks inside quotes), in whichever encoding and with whichever
// separator the file has. Written: the exports, as a Swedish spreadsheet opens
// them.
namespace core {

enum class TextEncoding { Utf8WithBom, Utf8, Windows1252, Utf16LE, Utf16BE };

// The longest cell a list may hold, in characters. A longer one is kept cut
// to one character more, so that a cell of megabytes neither fills the memory
// nor reaches a register, and the import refuses its row.
inline constexpr int longestCell = 1000;

struct CsvFile
{
    TextEncoding encoding = TextEncoding::Utf8;
    char separator = ';';
    QList<QStringList> rows; // every row with a cell, in file order
    QList<int> lines; // the line of the file each row begins on, from 1
    int columns = 0; // the most cells of any row
    // Why the file cannot be read as a list, naming the line (the failure's
    // operation and file are the caller's to give); then it has no rows.
    std::optional<datafiles::Failure> refused;
};

// The encoding is read from the byte-order mark where there is one (UTF-8,
// UTF-16 LE or BE). Without one the bytes are UTF-8 when they hold at least
// one character in UTF-8's own form of two to four bytes, and Windows-1252
// when no byte above 127 forms one: a UTF-8 file with a stray byte is refused
// at that byte, never read as Windows-1252 throughout. The separator is the
// one of ";", tab and "," that parts the first rows most evenly into more than
// one cell. CR, LF and CR LF each end a line. A line of blanks only, or of
// empty cells only, is no row. A quote that opens a cell and is never closed
// refuses the file at the line where it opened.
CsvFile readCsv(QByteArrayView bytes);

QString encodingName(TextEncoding encoding);
QString separatorName(char separator);

// The byte-order mark a written file begins with, so that a spreadsheet reads
// it as UTF-8.
QByteArray spreadsheetStart();

// A row of a written file, a cell at a time: ";" between the cells, CR LF at
// the end, UTF-8.
class SpreadsheetRow
{
public:
    // A text as a spreadsheet reads it back whole: in double quotes, its own
    // doubled, where it holds ";", a quote, a line break or blanks at either end.
    // A text a spreadsheet would take for a formula (one that begins with "=",
    // "+", "-", "@", a tab or a CR, after any apostrophes) gets an apostrophe
    // before it, so that a name like =HYPERLINK(...) is shown, never run;
    // readCsv() takes that one apostrophe away again.
    SpreadsheetRow& text(QStringView cell);
    SpreadsheetRow& texts(const QStringList& cells);
    // A number as the operator typed or the program stored it ("99.50", "-2")
    // with the decimal comma a Swedish spreadsheet reads, a minus sign and all;
    // any other text as a text.
    SpreadsheetRow& number(QStringView cell);
    QByteArray bytes() const;

private:
    void startCell();

    QString m_cells;
    bool m_empty = true;
};

// Rows of texts, the whole file.
QByteArray spreadsheetBytes(const QList<QStringList>& rows);

} // namespace core
