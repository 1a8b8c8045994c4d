#include "productindex.h"

#include "wordsearch.h"

#include "datafiles/codepage.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace core {
namespace {

// The first letters of a text, case folded, packed into one word, the first
// letter in its lowest byte: as many letters as the word has bytes. A search
// compares these words and reads the register only where they agree.
template<class Word>
Word packedLetters(const char* bytes, qsizetype count)
{
    const datafiles::ByteTable& folded = datafiles::foldedBytes();
    Word packed = 0;
    for (qsizetype i = 0; i < qMin<qsizetype>(count, qsizetype(sizeof(Word))); ++i)
        packed |= Word(uchar(folded[uchar(bytes[i])])) << (8 * i);
    return packed;
}

// The bits of a packed word that the first `length` letters fill.
template<class Word>
Word packedMask(qsizetype length)
{
    return length >= qsizetype(sizeof(Word)) ? ~Word(0) : (Word(1) << (8 * length)) - 1;
}

constexpr qsizetype wordLetters = sizeof(quint64);

// True when the register's bytes at `have` begin with the bytes wanted,
// letter case ignored.
bool beginsWith(const char* have, qsizetype available, QByteArrayView want)
{
    if (available < want.size())
        return false;
    const datafiles::ByteTable& folded = datafiles::foldedBytes();
    for (qsizetype i = 0; i < want.size(); ++i) {
        if (folded[uchar(have[i])] != folded[uchar(want[i])])
            return false;
    }
    return true;
}

} // namespace

ProductIndex::ProductIndex(const datafiles::RecordTable& products, Words words)
{
    const qsizetype rows = products.recordCount();
    m_articleStarts.resize(size_t(rows));
    for (qsizetype row = 0; row < rows; ++row) {
        const QByteArrayView article = products.fieldBytes(row, 0);
        m_articleStarts[size_t(row)] = packedLetters<quint32>(article.data(), article.size());
    }
    if (words == Words::ArticleOnly)
        return;

    const auto& letter = datafiles::letterOrDigitBytes();
    const char* base = products.bytes().data();
    std::vector<quint64> starts;
    std::vector<quint32> places;
    std::vector<quint32> owners;
    starts.reserve(size_t(rows) * 5);
    places.reserve(size_t(rows) * 5);
    owners.reserve(size_t(rows) * 5);
    std::vector<quint32> sizes(257, 0);
    for (qsizetype row = 0; row < rows; ++row) {
        const QByteArrayView description = products.fieldBytes(row, 1);
        const char* text = description.data();
        const qsizetype size = description.size();
        bool inWord = false;
        for (qsizetype i = 0; i < size; ++i) {
            const bool isLetter = letter[uchar(text[i])];
            if (isLetter && !inWord) {
                // A word's packed start stops at its end: "st" must not match "st 2".
                qsizetype length = 0;
                while (i + length < size && length < wordLetters && letter[uchar(text[i + length])])
                    ++length;
                const quint64 packed = packedLetters<quint64>(text + i, length);
                starts.push_back(packed);
                places.push_back(quint32(text + i - base));
                owners.push_back(quint32(row));
                ++sizes[size_t(packed & 0xFF) + 1];
            }
            inWord = isLetter;
        }
    }
    m_groups.assign(257, 0);
    for (size_t g = 1; g < 257; ++g)
        m_groups[g] = m_groups[g - 1] + sizes[g];
    std::vector<quint32> next(m_groups.begin(), m_groups.end() - 1);
    m_wordStarts.resize(starts.size());
    m_wordPlaces.resize(starts.size());
    m_wordProducts.resize(starts.size());
    for (size_t w = 0; w < starts.size(); ++w) {
        const quint32 to = next[size_t(starts[w] & 0xFF)]++;
        m_wordStarts[to] = starts[w];
        m_wordPlaces[to] = places[w];
        m_wordProducts[to] = owners[w];
    }
}

std::vector<int> ProductIndex::articlesStartingWith(const datafiles::RecordTable& products, QStringView text,
                                                    bool firstOnly, bool whole, int except) const
{
    std::vector<int> found;
    const std::optional<QByteArray> wanted = datafiles::foldedBytes(text);
    if (!wanted)
        return found; // a letter no article number can hold
    const qsizetype length = wanted->size();
    const quint32 wantedStart = packedLetters<quint32>(wanted->constData(), length);
    const quint32 mask = packedMask<quint32>(length);
    const int rows = int(m_articleStarts.size());
    for (int row = 0; row < rows; ++row) {
        if ((m_articleStarts[size_t(row)] & mask) != wantedStart || row == except)
            continue;
        const QByteArrayView article = products.fieldBytes(row, 0);
        if ((whole && article.size() != length) || !beginsWith(article.data(), article.size(), *wanted))
            continue;
        found.push_back(row);
        if (firstOnly)
            break;
    }
    return found;
}

int ProductIndex::findFirstArticleStartingWith(const datafiles::RecordTable& products, QStringView text) const
{
    const std::vector<int> found = articlesStartingWith(products, text, true, false);
    return found.empty() ? -1 : found.front();
}

int ProductIndex::findArticle(const datafiles::RecordTable& products, QStringView text, int except) const
{
    const std::vector<int> found = articlesStartingWith(products, text, true, true, except);
    return found.empty() ? -1 : found.front();
}

std::vector<int> ProductIndex::search(const datafiles::RecordTable& products, QStringView text) const
{
    const int rows = int(m_articleStarts.size());
    const QStringList words = WordSearch::searchWords(text);
    std::vector<int> found;
    if (words.isEmpty()) {
        found.resize(size_t(rows));
        for (int row = 0; row < rows; ++row)
            found[size_t(row)] = row;
        return found;
    }
    const std::vector<int> byArticle = articlesStartingWith(products, text.trimmed(), false, false);
    if (m_groups.empty())
        return byArticle;

    // The products with a word of the description beginning with each word
    // typed: one run down the words' packed starts for each.
    std::vector<int> byWords;
    bool first = true;
    const char* base = products.bytes().data();
    for (const QString& word : words) {
        const std::optional<QByteArray> bytes = datafiles::foldedBytes(word);
        if (!bytes) {
            byWords.clear();
            break;
        }
        const quint64 start = packedLetters<quint64>(bytes->constData(), bytes->size());
        const quint64 mask = packedMask<quint64>(bytes->size());
        const bool verify = bytes->size() > wordLetters;
        std::vector<int> hits;
        int last = -1;
        const quint32 group = quint32(start & 0xFF);
        const quint64* starts = m_wordStarts.data();
        for (quint32 w = m_groups[group], end = m_groups[group + 1]; w < end; ++w) {
            if ((starts[w] & mask) != start)
                continue;
            const int row = int(m_wordProducts[w]);
            if (row == last)
                continue;
            if (verify) {
                // Only a word that agrees in its first eight letters is read.
                const QByteArrayView description = products.fieldBytes(row, 1);
                const char* at = base + m_wordPlaces[w];
                if (!beginsWith(at, description.data() + description.size() - at, *bytes))
                    continue;
            }
            hits.push_back(row);
            last = row;
        }
        if (first) {
            byWords = std::move(hits);
            first = false;
        } else {
            std::vector<int> both;
            std::set_intersection(byWords.begin(), byWords.end(), hits.begin(), hits.end(), std::back_inserter(both));
            byWords = std::move(both);
        }
        if (byWords.empty())
            break;
    }
    found.reserve(byArticle.size() + byWords.size());
    std::set_union(byArticle.begin(), byArticle.end(), byWords.begin(), byWords.end(), std::back_inserter(found));
    return found;
}

namespace {

// The same for an article number of the register and for one folded already.
size_t hashOfFolded(QByteArrayView article)
{
    const datafiles::ByteTable& folded = datafiles::foldedBytes();
    size_t hash = 1469598103934665603ull;
    for (char c : article)
        hash = (hash ^ uchar(folded[uchar(c)])) * 1099511628211ull;
    return hash;
}

bool sameFolded(QByteArrayView a, QByteArrayView b)
{
    return a.size() == b.size() && beginsWith(a.data(), a.size(), b);
}

} // namespace

ArticleLookup::ArticleLookup(const datafiles::RecordTable& products)
{
    const qsizetype rows = products.recordCount();
    size_t size = 16;
    while (size < size_t(rows) * 2)
        size *= 2;
    m_slots.assign(size, -1);
    m_mask = size - 1;
    for (qsizetype row = 0; row < rows; ++row) {
        const QByteArrayView article = products.fieldBytes(row, 0);
        size_t slot = hashOfFolded(article) & m_mask;
        bool known = false;
        while (m_slots[slot] >= 0 && !known) {
            const QByteArrayView other = products.fieldBytes(m_slots[slot], 0);
            known = sameFolded(other, article);
            if (!known)
                slot = (slot + 1) & m_mask;
        }
        if (!known)
            m_slots[slot] = int(row); // the first of equal article numbers is the one found
    }
}

int ArticleLookup::find(const datafiles::RecordTable& products, QStringView text) const
{
    const std::optional<QByteArray> wanted = datafiles::foldedBytes(text);
    if (!wanted)
        return -1;
    for (size_t slot = hashOfFolded(*wanted) & m_mask; m_slots[slot] >= 0; slot = (slot + 1) & m_mask) {
        const QByteArrayView article = products.fieldBytes(m_slots[slot], 0);
        if (sameFolded(article, *wanted))
            return m_slots[slot];
    }
    return -1;
}

} // namespace core
