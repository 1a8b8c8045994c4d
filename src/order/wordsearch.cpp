#include "wordsearch.h"

#include "datafiles/codepage.h"

#include <QRegularExpression>

namespace core {
namespace {

// Marks the end of one text in the folded texts, so that no word runs on
// into the next.
constexpr QChar textEnd = u'\n';

} // namespace

void WordSearch::reserve(qsizetype entries)
{
    m_firstStart.reserve(size_t(entries));
    m_wordStarts.reserve(size_t(entries) * 4);
    m_folded.reserve(entries * 32);
}

void WordSearch::add(const QStringList& texts)
{
    m_firstStart.push_back(quint32(m_wordStarts.size()));
    for (const QString& text : texts) {
        const QString folded = datafiles::foldedText(text);
        bool inWord = false;
        for (QChar c : folded) {
            const bool letter = c.isLetterOrNumber();
            if (letter && !inWord)
                m_wordStarts.push_back(quint32(m_folded.size()));
            inWord = letter;
            m_folded.append(c == textEnd ? QChar(u' ') : c);
        }
        m_folded.append(textEnd);
    }
}

QStringList WordSearch::searchWords(QStringView text)
{
    // Any white space parts the words: a pasted line feed or tab is a blank,
    // never part of a word that could reach into the next text or entry.
    static const QRegularExpression whiteSpace(QStringLiteral("\\s+"), QRegularExpression::UseUnicodePropertiesOption);
    QStringList words;
    for (const QString& word : text.toString().split(whiteSpace, Qt::SkipEmptyParts)) {
        const QString folded = datafiles::foldedText(word);
        if (!words.contains(folded))
            words.append(folded);
    }
    return words;
}

std::vector<int> WordSearch::search(QStringView text) const
{
    const QStringList words = searchWords(text);
    std::vector<int> found;
    const int count = int(size());
    if (words.isEmpty()) {
        found.resize(size_t(count));
        for (int i = 0; i < count; ++i)
            found[size_t(i)] = i;
        return found;
    }

    const QChar* folded = m_folded.constData();
    const qsizetype foldedSize = m_folded.size();
    for (int place = 0; place < count; ++place) {
        const quint32 first = m_firstStart[size_t(place)];
        const quint32 last = place + 1 < count ? m_firstStart[size_t(place) + 1] : quint32(m_wordStarts.size());
        bool all = true;
        for (const QString& word : words) {
            const QChar* want = word.constData();
            const qsizetype length = word.size();
            bool begins = false;
            for (quint32 s = first; s < last && !begins; ++s) {
                const quint32 start = m_wordStarts[s];
                if (folded[start] != want[0] || start + length > foldedSize)
                    continue;
                begins = QStringView(folded + start, length) == QStringView(want, length);
            }
            if (!begins) {
                all = false;
                break;
            }
        }
        if (all)
            found.push_back(place);
    }
    return found;
}

} // namespace core
