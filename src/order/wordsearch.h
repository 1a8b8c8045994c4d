#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace core {

// A search the operator runs at every keystroke over a list of entries, each
// of a few texts (a customer's number and name): an entry is found when every
// word of the search text begins a word of one of its texts. Letter case does
// not count (å and Å alike). Words are parted by any white space in the search
// text, and by anything but a letter or digit in the entries. A text without
// words finds every entry. The product register and the order history search
// their own bytes by the same rule, with the words of searchWords().
class WordSearch
{
public:
    WordSearch() = default;

    void reserve(qsizetype entries);
    // Adds an entry at the next place.
    void add(const QStringList& texts);
    qsizetype size() const { return qsizetype(m_firstStart.size()); }

    // The places of the entries found, ascending.
    std::vector<int> search(QStringView text) const;

    // The distinct words of a search text, case folded.
    static QStringList searchWords(QStringView text);

private:
    // The texts of each entry, case folded and run together, and where in
    // that each of their words begins: a keystroke compares these and nothing
    // else.
    QString m_folded;
    std::vector<quint32> m_firstStart; // per entry, into m_wordStarts
    std::vector<quint32> m_wordStarts; // into m_folded
};

} // namespace core
