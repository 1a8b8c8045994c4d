#include "productindex.h"

#include "wordsearch.h"

#include "datafiles/codepage.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>

namespace core {
namespace {

// Each byte of the register mapped to the smallest byte whose character folds
// to the same letter, so that comparing mapped bytes ignores letter case exactly
// as comparing the decoded texts would.
struct CaseFolding
{
    std::array<uchar, 256> canonical {};
    std::array<char16_t, 256> folded {};
    std::array<bool, 256> wordLetter {};

    CaseFolding()
    {
        for (int b = 0; b < 256; ++b) {
            const QChar c = datafiles::charFrom1252(char(b));
            folded[size_t(b)] = c.toCaseFolded().unicode();
            wordLetter[size_t(b)] = c.isLetterOrNumber();
        }
        for (int b = 0; b < 256; ++b) {
            int first = 0;
            while (folded[size_t(first)] != folded[size_t(b)])
                ++first; // stops at b at the latest
            canonical[size_t(b)] = uchar(first);
        }
    }

    // The canonical byte of a character of the search text; none when no byte
    // of the register can stand for it.
    std::optional<uchar> canonicalOf(QChar c) const
    {
        const char16_t target = c.toCaseFolded().unicode();
        for (int b = 0; b < 256; ++b) {
            if (folded[size_t(b)] == target)
                return canonical[size_t(b)];
        }
        return std::nullopt;
    }

    // The text in canonical bytes; none when a letter of it is in no byte.
    std::optional<QByteArray> canonicalText(QStringView text) const
    {
        QByteArray wanted;
        wanted.reserve(text.size());
        for (QChar c : text) {
            const std::optional<uchar> byte = canonicalOf(c);
            if (!byte)
                return std::nullopt;
            wanted.append(char(*byte));
        }
        return wanted;
    }
};

const CaseFolding& caseFolding()
{
    static const CaseFolding folding;
    return folding;
}

constexpr int packedLetters = 4;

quint32 packedStart(const uchar* letters, qsizetype count)
{
    quint32 packed = 0;
    for (qsizetype i = 0; i < qMin<qsizetype>(count, packedLetters); ++i)
        packed |= quint32(letters[i]) << (8 * i);
    return packed;
}

quint32 packedCanonical(const char* bytes, qsizetype count)
{
    const auto& canonical = caseFolding().canonical;
    quint32 packed = 0;
    for (qsizetype i = 0; i < qMin<qsizetype>(count, packedLetters); ++i)
        packed |= quint32(canonical[uchar(bytes[i])]) << (8 * i);
    return packed;
}

constexpr int wordLetters = 8;

// The first eight letters of a text in canonical bytes, packed.
quint64 packedCanonicalWord(QByteArrayView canonicalBytes, qsizetype count)
{
    quint64 packed = 0;
    for (qsizetype i = 0; i < qMin<qsizetype>(count, wordLetters); ++i)
        packed |= quint64(uchar(canonicalBytes[i])) << (8 * i);
    return packed;
}

// The same for the register's own bytes.
quint64 packedWord(const char* bytes, qsizetype count)
{
    const auto& canonical = caseFolding().canonical;
    quint64 packed = 0;
    for (qsizetype i = 0; i < qMin<qsizetype>(count, wordLetters); ++i)
        packed |= quint64(canonical[uchar(bytes[i])]) << (8 * i);
    return packed;
}

quint64 wordMask(qsizetype length)
{
    return length >= wordLetters ? ~quint64(0) : (quint64(1) << (8 * length)) - 1;
}

quint32 maskFor(qsizetype length)
{
    return length >= packedLetters ? 0xFFFFFFFFu : (quint32(1) << (8 * length)) - 1;
}

// True when the register's bytes at `have` begin with the canonical text.
bool beginsWith(const char* have, qsizetype available, const QByteArray& want)
{
    if (available < want.size())
        return false;
    const auto& canonical = caseFolding().canonical;
    for (qsizetype i = 0; i < want.size(); ++i) {
        if (canonical[uchar(have[i])] != uchar(want[i]))
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
        m_articleStarts[size_t(row)] = packedCanonical(article.data(), article.size());
    }
    if (words == Words::ArticleOnly)
        return;

    const auto& letter = caseFolding().wordLetter;
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
                const quint64 packed = packedWord(text + i, length);
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
    const std::optional<QByteArray> wanted = caseFolding().canonicalText(text);
    if (!wanted)
        return found; // a letter no article number can hold
    const qsizetype length = wanted->size();
    const quint32 wantedStart = packedStart(reinterpret_cast<const uchar*>(wanted->constData()), length);
    const quint32 mask = maskFor(length);
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
        const std::optional<QByteArray> bytes = caseFolding().canonicalText(word);
        if (!bytes) {
            byWords.clear();
            break;
        }
        const quint64 start = packedCanonicalWord(*bytes, bytes->size());
        const quint64 mask = wordMask(bytes->size());
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

size_t hashOfCanonical(const uchar* bytes, qsizetype size)
{
    size_t hash = 1469598103934665603ull;
    for (qsizetype i = 0; i < size; ++i)
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    return hash;
}

size_t hashOfArticle(QByteArrayView article)
{
    const auto& canonical = caseFolding().canonical;
    size_t hash = 1469598103934665603ull;
    for (char c : article)
        hash = (hash ^ canonical[uchar(c)]) * 1099511628211ull;
    return hash;
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
        size_t slot = hashOfArticle(article) & m_mask;
        bool known = false;
        while (m_slots[slot] >= 0 && !known) {
            const QByteArrayView other = products.fieldBytes(m_slots[slot], 0);
            known = other.size() == article.size() && beginsWith(other.data(), other.size(), [&] {
                        QByteArray canonical(article.size(), Qt::Uninitialized);
                        for (qsizetype i = 0; i < article.size(); ++i)
                            canonical[i] = char(caseFolding().canonical[uchar(article[i])]);
                        return canonical;
                    }());
            if (!known)
                slot = (slot + 1) & m_mask;
        }
        if (!known)
            m_slots[slot] = int(row); // the first of equal article numbers is the one found
    }
}

int ArticleLookup::find(const datafiles::RecordTable& products, QStringView text) const
{
    const std::optional<QByteArray> wanted = caseFolding().canonicalText(text);
    if (!wanted)
        return -1;
    const uchar* want = reinterpret_cast<const uchar*>(wanted->constData());
    for (size_t slot = hashOfCanonical(want, wanted->size()) & m_mask; m_slots[slot] >= 0; slot = (slot + 1) & m_mask) {
        const QByteArrayView article = products.fieldBytes(m_slots[slot], 0);
        if (article.size() == wanted->size() && beginsWith(article.data(), article.size(), *wanted))
            return m_slots[slot];
    }
    return -1;
}

} // namespace core
