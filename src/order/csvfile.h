#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// Spreadsheet files. Read: a price list or a customer list as a spreadsheet or
// a supplier writes it, rows of cells, read with libcsv (quotes, separators and
// line breaks inside quotes), in whichever encoding and with whichever
// separator the file has. Written: the exports, as a Swedish spreadsheet opens
// them.
namespace core {

enum class TextEncoding { Utf8WithBom, Utf8, Windows1252 };

struct CsvFile
{
    TextEncoding encoding = TextEncoding::Utf8;
    char separator = ';';
    QList<QStringList> rows; // every row with a cell, in file order
    QList<int> lines; // the line of the file each row begins on, from 1
    int columns = 0; // the most cells of any row
};

// UTF-8 with or without its byte-order mark where the bytes are valid UTF-8,
// otherwise Windows-1252. The separator is the one of ";", tab and "," that
// parts the first rows most evenly into more than one cell. A line of blanks
// only, or of empty cells only, is no row.
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
    SpreadsheetRow& text(QStringView cell);
    SpreadsheetRow& texts(const QStringList& cells);
    // A number as the operator typed or the program stored it ("99.50", "-2")
    // with the decimal comma a Swedish spreadsheet reads; any other text as a
    // text.
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
