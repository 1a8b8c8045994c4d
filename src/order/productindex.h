#pragma once

#include "datafiles/records.h"

#include <QStringView>

#include <vector>

namespace core {

// The searches over the product register, worked on the register's own bytes
// so that a register of a million products answers within a keystroke:
// letters are compared without regard to case (å and Å alike), as the
// decoded texts would be.
class ProductIndex
{
public:
    enum class Words { ArticleOnly, AndDescription };

    ProductIndex() = default;
    // Indexes the start of every article number and, when asked, the start of
    // every word of every description.
    ProductIndex(const datafiles::RecordTable& products, Words words);

    // The first product, from the top, whose article number begins with the
    // text; -1 when none does.
    int findFirstArticleStartingWith(const datafiles::RecordTable& products, QStringView text) const;
    // The first product other than `except` whose article number is the
    // text; -1 when none is.
    int findArticle(const datafiles::RecordTable& products, QStringView text, int except = -1) const;
    // The products, in register order, whose article number begins with the
    // text or whose description has a word beginning with each word of it.
    // Every product for a text without words.
    std::vector<int> search(const datafiles::RecordTable& products, QStringView text) const;

private:
    std::vector<int> articlesStartingWith(const datafiles::RecordTable& products, QStringView text, bool firstOnly,
                                          bool whole, int except = -1) const;

    // The first four letters of each article number, case folded, packed in
    // one word: a search compares these 4 MB for a million products and reads
    // the register itself only where they agree.
    std::vector<quint32> m_articleStarts;
    // The first eight letters of every word of every description, case
    // folded and packed, with where the word begins in the register's bytes
    // and the product it is of; grouped by the word's first letter, and in
    // register order within a group: a keystroke runs down the group of each
    // word typed, and reads the register only for a word of more than eight
    // letters.
    std::vector<quint64> m_wordStarts;
    std::vector<quint32> m_wordPlaces;
    std::vector<quint32> m_wordProducts;
    std::vector<quint32> m_groups; // where each first letter's group begins; one more at the end
};

// The products by article number, letter case ignored, for looking up many
// article numbers at once (a price list of 100,000 rows): a hash table of the
// register's places, compared on the register's own bytes.
class ArticleLookup
{
public:
    explicit ArticleLookup(const datafiles::RecordTable& products);
    // The first product whose article number is the text; -1 when none is.
    int find(const datafiles::RecordTable& products, QStringView text) const;

private:
    std::vector<int> m_slots; // a product's place, or -1
    size_t m_mask = 0;
};

} // namespace core
