#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Every data file of the program is 8-bit text in the Windows-1252 code page:
// å, ä and ö are the single bytes E5, E4 and F6.
namespace datafiles {

QString decode1252(QByteArrayView bytes);

// Characters that the code page cannot hold become '?'; the text boxes refuse
// such characters, so the program itself never writes one.
QByteArray encode1252(QStringView text);

QChar charFrom1252(char byte);
bool fitsIn1252(QChar c);
bool fitsIn1252(QStringView text);

} // namespace datafiles
