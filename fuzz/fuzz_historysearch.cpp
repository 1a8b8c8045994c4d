// The order history's search: every order it finds has each word of the
// search text at the start of a word of its number, customer number or name,
// and every such order is found, newest first.
//
// Input: pieces parted by 0x1F; the first is the search text, then every three
// pieces are an order's number, customer number and name (Windows-1252).
#include "datafiles/codepage.h"
#include "datafiles/records.h"
#include "fuzzcheck.h"
#include "order/orderhistory.h"

#include <QRegularExpression>

namespace {

// Does some word of the field begin with `start`? A word of the search text
// may hold more than letters: it then reaches past the field's word into what
// follows it in the same field.
bool beginsAWordOf(const QString& field, const QString& start)
{
    const QString folded = field.toCaseFolded();
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const bool wordStart = folded.at(i).isLetterOrNumber() && (i == 0 || !folded.at(i - 1).isLetterOrNumber());
        if (wordStart && QStringView(folded).sliced(i).startsWith(start))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QList<QByteArray> pieces = fuzzBytes(data, size).toByteArray().split('\x1F');
    const QString text = datafiles::decode1252(pieces.value(0));
    // The history reads the order list, where a text stands as a quoted record
    // holds it.
    const auto listed = [&pieces](qsizetype i) {
        return datafiles::textForRecord(datafiles::decode1252(pieces.at(i)));
    };
    QList<core::OrderListEntry> entries;
    for (qsizetype i = 1; i + 2 < pieces.size() && entries.size() < 200; i += 3)
        entries.append({ QStringLiteral("261207"), listed(i), listed(i + 1), listed(i + 2) });

    const core::OrderHistory history(entries);
    const std::vector<int> found = history.search(text);

    static const QRegularExpression whiteSpace(QStringLiteral("\\s+"), QRegularExpression::UseUnicodePropertiesOption);
    QStringList words;
    for (const QString& word : text.split(whiteSpace, Qt::SkipEmptyParts))
        words.append(word.toCaseFolded());

    std::vector<int> expected;
    for (int place = 0; place < int(entries.size()); ++place) {
        const core::OrderListEntry& entry = entries.at(entries.size() - 1 - place);
        bool all = true;
        for (const QString& word : std::as_const(words)) {
            if (!beginsAWordOf(entry.orderNumber, word) && !beginsAWordOf(entry.customerNumber, word)
                && !beginsAWordOf(entry.customerName, word)) {
                all = false;
                break;
            }
        }
        if (all)
            expected.push_back(place);
    }
    FUZZ_CHECK(found == expected);
    for (int place : found)
        FUZZ_CHECK(history.entry(place) == entries.at(entries.size() - 1 - place));
    return 0;
}
