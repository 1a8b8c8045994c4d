#include "codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <utility>
#include <vector>

namespace datafiles {
namespace {

// Both directions are tabulated once from Qt's own Windows-1252 codec, so that
// reading a register of a million products does not go through the codec for
// every field; the case folding of the bytes once from Qt's, so that a search
// through a million orders folds a byte by looking it up.
struct Tables
{
    std::array<char16_t, 256> toUnicode {};
    std::array<qint16, 65536> fromUnicode {};
    ByteTable foldedBytes {};
    std::array<bool, 256> letterOrDigit {};
    // The folded characters the code page has no byte of, each with the first
    // byte that folds to it.
    std::vector<std::pair<char16_t, char>> foldedOutside;

    Tables()
    {
        fromUnicode.fill(-1);
        QStringDecoder decoder("windows-1252");
        QStringEncoder encoder("windows-1252");
        Q_ASSERT(decoder.isValid() && encoder.isValid());
        for (int byte = 0; byte < 256; ++byte) {
            const char c = static_cast<char>(byte);
            const QString decoded = decoder.decode(QByteArrayView(&c, 1));
            decoder.resetState();
            Q_ASSERT(decoded.size() == 1);
            const char16_t unit = decoded.isEmpty() ? char16_t(byte) : decoded.at(0).unicode();
            const QByteArray back = encoder.encode(QStringView(&unit, 1));
            encoder.resetState();
            Q_ASSERT(back == QByteArray(1, c));
            toUnicode[byte] = unit;
            fromUnicode[unit] = qint16(byte);
        }
        for (int byte = 0; byte < 256; ++byte) {
            const QChar character(toUnicode[size_t(byte)]);
            const char16_t folded = character.toCaseFolded().unicode();
            if (fromUnicode[folded] < 0 && foldedByteOf(character) < 0)
                foldedOutside.emplace_back(folded, char(byte));
            letterOrDigit[size_t(byte)] = character.isLetterOrNumber();
        }
        for (int byte = 0; byte < 256; ++byte)
            foldedBytes[size_t(byte)] = char(foldedByteOf(QChar(toUnicode[size_t(byte)])));
    }

    // The byte a character stands for once case folded; -1 for none.
    qint16 foldedByteOf(QChar c) const
    {
        const char16_t folded = c.toCaseFolded().unicode();
        if (fromUnicode[folded] >= 0)
            return fromUnicode[folded];
        for (const auto& [character, byte] : foldedOutside) {
            if (character == folded)
                return qint16(static_cast<unsigned char>(byte));
        }
        return -1;
    }

    QChar foldedCharacter(QChar c) const
    {
        const qint16 byte = foldedByteOf(c);
        return byte >= 0 ? QChar(toUnicode[size_t(byte)]) : c.toCaseFolded();
    }
};

const Tables& tables()
{
    static const Tables instance;
    return instance;
}

} // namespace

QChar charFrom1252(char byte)
{
    return QChar(tables().toUnicode[static_cast<unsigned char>(byte)]);
}

QString decode1252(QByteArrayView bytes)
{
    const auto& table = tables().toUnicode;
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char byte : bytes)
        *out++ = QChar(table[static_cast<unsigned char>(byte)]);
    return text;
}

bool fitsIn1252(QChar c)
{
    return tables().fromUnicode[c.unicode()] >= 0;
}

bool fitsIn1252(QStringView text)
{
    for (QChar c : text) {
        if (!fitsIn1252(c))
            return false;
    }
    return true;
}

QByteArray encode1252(QStringView text)
{
    const auto& table = tables().fromUnicode;
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (QChar c : text) {
        const qint16 byte = table[c.unicode()];
        *out++ = byte >= 0 ? static_cast<char>(byte) : '?';
    }
    return bytes;
}

bool sameIgnoringCase(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    const Tables& t = tables();
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && t.foldedCharacter(a[i]) != t.foldedCharacter(b[i]))
            return false;
    }
    return true;
}

bool beginsIgnoringCase(QStringView text, QStringView start)
{
    return start.size() <= text.size() && sameIgnoringCase(text.first(start.size()), start);
}

const ByteTable& foldedBytes()
{
    return tables().foldedBytes;
}

std::optional<QByteArray> foldedBytes(QStringView text)
{
    const Tables& t = tables();
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (QChar c : text) {
        const qint16 byte = t.foldedByteOf(c);
        if (byte < 0)
            return std::nullopt;
        *out++ = char(byte);
    }
    return bytes;
}

QString foldedText(QStringView text)
{
    const Tables& t = tables();
    QString folded(text.size(), Qt::Uninitialized);
    QChar* out = folded.data();
    for (QChar c : text)
        *out++ = t.foldedCharacter(c);
    return folded;
}

const std::array<bool, 256>& letterOrDigitBytes()
{
    return tables().letterOrDigit;
}

} // namespace datafiles
