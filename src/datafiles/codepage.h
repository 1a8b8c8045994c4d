#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

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

// Letter case does not count wherever the program compares a text with what a
// file holds: a search, an article number, a code, a customer number. Two texts
// are the same, letter case ignored, when their characters are, each case
// folded (å and Å alike, µ and μ alike, but ß is not ss).
bool sameIgnoringCase(QStringView a, QStringView b);
bool beginsIgnoringCase(QStringView text, QStringView start);

// The same rule on the code page's bytes, for a search through the bytes of a
// large file: each byte stands, case folded, for its folded character's own
// byte where the code page has one (b for B, å for Å), else for the first byte
// that folds to the same character (µ for μ). Comparing folded bytes is
// comparing folded texts.
using ByteTable = std::array<char, 256>;
const ByteTable& foldedBytes();
// The text in folded bytes; none when a character of it folds to one that no
// byte stands for, which no file of the program can hold.
std::optional<QByteArray> foldedBytes(QStringView text);
// The text case folded as the bytes are, for comparing or hashing decoded texts.
QString foldedText(QStringView text);

// The bytes that are a letter or a digit, which make up the words a search
// looks for; anything else parts them.
const std::array<bool, 256>& letterOrDigitBytes();

} // namespace datafiles
