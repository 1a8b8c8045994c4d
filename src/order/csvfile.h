#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// A price list or a customer list as a spreadsheet or a supplier writes it:
// rows of cells, read with libcsv (quotes, separators and line breaks inside
// quotes), in whichever encoding and with whichever separator the file has.
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

} // namespace core
