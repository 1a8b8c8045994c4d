// Every byte a data file can hold must survive a read and a write unchanged,
// and every character the text boxes let through must survive a write and a read.
#include "datafiles/codepage.h"
#include "fuzzcheck.h"

#include <cstring>

namespace {

bool knownCharactersDecode()
{
    using datafiles::charFrom1252;
    // The Swedish letters and the characters that make the code page differ
    // from Latin-1 (a plain Latin-1 table would pass the round trip).
    return charFrom1252('\xE5') == QChar(u'å') && charFrom1252('\xE4') == QChar(u'ä')
        && charFrom1252('\xF6') == QChar(u'ö') && charFrom1252('\xC5') == QChar(u'Å')
        && charFrom1252('\xC4') == QChar(u'Ä') && charFrom1252('\xD6') == QChar(u'Ö')
        && charFrom1252('\x80') == QChar(u'€') && charFrom1252('\x96') == QChar(u'–')
        && charFrom1252('\x9F') == QChar(u'Ÿ') && charFrom1252('A') == QChar(u'A');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool tableIsWindows1252 = knownCharactersDecode();
    FUZZ_CHECK(tableIsWindows1252);

    // Bytes to text and back.
    const QByteArrayView bytes = fuzzBytes(data, size);
    const QString text = datafiles::decode1252(bytes);
    FUZZ_CHECK(text.size() == bytes.size());
    FUZZ_CHECK(datafiles::fitsIn1252(QStringView(text)));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        FUZZ_CHECK(text.at(i) == datafiles::charFrom1252(bytes[i]));
        FUZZ_CHECK(text.at(i) != QChar(QChar::ReplacementCharacter));
    }
    const QByteArray back = datafiles::encode1252(text);
    FUZZ_CHECK(back == bytes);

    // The same input taken as UTF-16 text: what fits comes back, the rest is '?'.
    QString typed(qsizetype(size / 2), Qt::Uninitialized);
    if (!typed.isEmpty())
        std::memcpy(typed.data(), data, size_t(typed.size()) * 2);
    const QByteArray written = datafiles::encode1252(typed);
    FUZZ_CHECK(written.size() == typed.size());
    const QString reread = datafiles::decode1252(written);
    bool allFit = true;
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const bool fits = datafiles::fitsIn1252(typed.at(i));
        allFit = allFit && fits;
        FUZZ_CHECK(fits ? reread.at(i) == typed.at(i) : written.at(i) == '?');
    }
    FUZZ_CHECK(datafiles::fitsIn1252(QStringView(typed)) == allFit);
    return 0;
}
