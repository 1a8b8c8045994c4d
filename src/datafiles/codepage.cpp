#include "codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

namespace datafiles {
namespace {

// Both directions are tabulated once from Qt's own Windows-1252 codec, so that
// reading a register of a million products does not go through the codec for
// every field.
struct Tables
{
    std::array<char16_t, 256> toUnicode {};
    std::array<qint16, 65536> fromUnicode {};

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

} // namespace datafiles
