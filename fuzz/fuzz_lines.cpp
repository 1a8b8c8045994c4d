// The whole-line reader: any bytes split into lines at CR LF, a lone CR or a lone
// LF, nothing lost and nothing added, and lines written back read the same.
#include "datafiles/codepage.h"
#include "datafiles/records.h"
#include "fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes = fuzzBytes(data, size);
    const QStringList lines = datafiles::readLines(bytes);

    // One line per line end, CR LF counting once, plus a last line without one.
    qsizetype lineEnds = 0;
    bool onlyCrLf = true;
    QByteArray withoutLineEnds;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            ++lineEnds;
            ++i;
        } else if (c == '\r' || c == '\n') {
            ++lineEnds;
            onlyCrLf = false;
        } else {
            withoutLineEnds += c;
        }
    }
    const bool endsWithLineEnd = !bytes.isEmpty() && (bytes.back() == '\r' || bytes.back() == '\n');
    FUZZ_CHECK(lines.size() == lineEnds + (bytes.isEmpty() || endsWithLineEnd ? 0 : 1));

    QByteArray joined;
    QByteArray rewritten;
    for (const QString& line : lines) {
        FUZZ_CHECK(!line.contains(u'\r') && !line.contains(u'\n'));
        joined += datafiles::encode1252(line);
        rewritten += datafiles::plainLine(line);
    }
    FUZZ_CHECK(joined == withoutLineEnds);

    // Written back as plain lines, the lines read the same.
    FUZZ_CHECK(datafiles::readLines(rewritten) == lines);

    // A file that ends its lines with CR LF only is rewritten byte for byte; a
    // last line without its line end gains one.
    if (onlyCrLf) {
        if (endsWithLineEnd || bytes.isEmpty())
            FUZZ_CHECK(rewritten == bytes);
        else
            FUZZ_CHECK(rewritten == bytes.toByteArray() + "\r\n");
    }
    return 0;
}
