#include "orderhistory.h"

#include "datafiles/codepage.h"
#include "datafiles/records.h"
#include "datafiles/textfile.h"

#include <QHash>
#include <QRegularExpression>
#include <QtAlgorithms>

#include <array>
#include <cstring>
#include <future>

namespace core {
namespace {

// Marks the end of one field in the folded text, so that no word runs on
// into the next field.
constexpr char fieldEnd = '\n';

// Case folding on the bytes of the code page: each byte stands for its
// character folded, given as the first byte that folds to the same character,
// so that comparing folded bytes is comparing the folded texts.
struct Folding
{
    std::array<char, 256> folded {};
    std::array<bool, 256> wordLetter {};
    // The bit of a folded letter or digit among a record's initials; a bit of
    // its own for the digits, a to z and the Nordic letters.
    std::array<quint8, 256> initialBit {};
    std::array<bool, 256> ownBit {};
    QHash<char16_t, char> byFoldedCharacter;

    Folding()
    {
        for (int byte = 0; byte < 256; ++byte) {
            const QChar character = datafiles::charFrom1252(char(byte)).toCaseFolded();
            // The folded character's own byte where the code page has one (b
            // for B), else the first byte that folds to it (µ for µ and μ).
            char canonical = char(byte);
            if (datafiles::fitsIn1252(character))
                canonical = datafiles::encode1252(QStringView(&character, 1)).at(0);
            else if (const auto known = byFoldedCharacter.constFind(character.unicode());
                     known != byFoldedCharacter.cend())
                canonical = known.value();
            byFoldedCharacter.insert(character.unicode(), canonical);
            folded[size_t(byte)] = canonical;
            wordLetter[size_t(byte)] = character.isLetterOrNumber();
        }
        // A line break inside a field is a blank there, never the end of the field.
        folded[size_t('\n')] = ' ';
        folded[size_t('\r')] = ' ';

        const QByteArray own = QByteArray("0123456789abcdefghijklmnopqrstuvwxyz")
            + datafiles::encode1252(QStringLiteral("åäöéüæøèáíóúàñçß"));
        int next = 0;
        for (char byte : own) {
            initialBit[size_t(static_cast<unsigned char>(byte))] = quint8(next++);
            ownBit[size_t(static_cast<unsigned char>(byte))] = true;
        }
        // The other letters share the bits left.
        for (int byte = 0; byte < 256; ++byte) {
            if (!ownBit[size_t(byte)])
                initialBit[size_t(byte)] = quint8(next + byte % (64 - next));
        }
    }

    static quint64 beginningBit(const char* word, int length)
    {
        quint64 h = 0;
        for (int i = 0; i < length; ++i)
            h = h * 257 + quint64(static_cast<unsigned char>(word[i])) + 1;
        return quint64(1) << ((h * 0x9E3779B97F4A7C15ull) >> 58);
    }

    // The search word in folded bytes; none when some character of it stands
    // in no order, since the code page has no byte for it.
    std::optional<QByteArray> word(const QString& text) const
    {
        QByteArray bytes(text.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const auto found = byFoldedCharacter.constFind(text.at(i).toCaseFolded().unicode());
            if (found == byFoldedCharacter.cend() || found.value() == fieldEnd || found.value() == '\r')
                return std::nullopt;
            bytes[i] = found.value();
        }
        return bytes;
    }
};

const Folding& folding()
{
    static const Folding instance;
    return instance;
}

constexpr quint32 lineStartBit = 0x80000000u;

} // namespace

bool passes(StatusFilter filter, OrderState state)
{
    switch (filter) {
    case StatusFilter::All:
        return true;
    case StatusFilter::NotDelivered:
        return state == OrderState::Registered;
    case StatusFilter::NotInvoiced:
        return state == OrderState::Registered || state == OrderState::Delivered;
    case StatusFilter::Voided:
        return state == OrderState::Voided;
    }
    return false;
}

OrderHistory::OrderHistory(QByteArray listBytes)
    : m_bytes(std::move(listBytes))
{
    Q_ASSERT(m_bytes.size() < qsizetype(lineStartBit));
    const Folding& fold = folding();
    // About 45 bytes an order.
    const size_t expected = size_t(m_bytes.size() / 40 + 16);
    m_records.reserve(expected);
    m_keys.reserve(expected);
    m_firstWord.reserve(expected + 1);
    m_initials.reserve(expected);
    m_beginnings.reserve(expected);
    m_folded.resize(m_bytes.size() + 64);
    m_wordStarts.reserve(expected * 5);
    char* folded = m_folded.data();
    qsizetype foldedSize = 0;

    const char* bytes = m_bytes.constData();
    datafiles::RecordReader reader(m_bytes, orderListFields);
    std::array<datafiles::FieldSpan, orderListFields> fields;
    while (reader.next(fields.data())) {
        const qsizetype searched = qsizetype(fields[1].end - fields[1].begin) + (fields[2].end - fields[2].begin)
            + (fields[3].end - fields[3].begin) + 3;
        if (foldedSize + searched > m_folded.size()) {
            m_folded.resize(std::max(m_folded.size() * 2, foldedSize + searched));
            folded = m_folded.data();
        }
        m_records.push_back(quint32(reader.recordBegin()) | (reader.recordAtLineStart() ? lineStartBit : 0));
        m_keys.push_back(orderNumberKey(QByteArrayView(bytes + fields[1].begin, fields[1].end - fields[1].begin)));
        const size_t firstWord = m_wordStarts.size();
        m_firstWord.push_back(quint32(firstWord));
        for (int f = 1; f < orderListFields; ++f) {
            bool inWord = false;
            for (quint32 at = fields[size_t(f)].begin; at < fields[size_t(f)].end; ++at) {
                const auto byte = size_t(static_cast<unsigned char>(bytes[at]));
                const bool letter = fold.wordLetter[byte];
                if (letter && !inWord)
                    m_wordStarts.push_back(quint32(foldedSize));
                inWord = letter;
                folded[foldedSize++] = fold.folded[byte];
            }
            folded[foldedSize++] = fieldEnd;
        }
        quint64 initials = 0;
        quint64 beginnings = 0;
        for (size_t w = firstWord; w < m_wordStarts.size(); ++w) {
            const char* word = folded + m_wordStarts[w];
            initials |= quint64(1) << fold.initialBit[size_t(static_cast<unsigned char>(word[0]))];
            // Every word is followed by its field's end at least.
            beginnings |= Folding::beginningBit(word, 2);
            if (word[1] != fieldEnd)
                beginnings |= Folding::beginningBit(word, 3);
        }
        m_initials.push_back(initials);
        m_beginnings.push_back(beginnings);
    }
    m_endsInsideRecord = reader.endsInsideRecord();
    m_firstWord.push_back(quint32(m_wordStarts.size()));
    m_folded.resize(foldedSize);
    m_states.assign(m_records.size(), OrderState::Registered);
    for (std::vector<quint64>& bits : m_inState)
        bits.assign((m_records.size() + 63) / 64, 0);
    for (size_t i = 0; i < m_records.size(); ++i)
        m_inState[size_t(OrderState::Registered)][i / 64] |= quint64(1) << (i % 64);
}

OrderHistory::OrderHistory(const QList<OrderListEntry>& entries)
    : OrderHistory([&entries] {
        QByteArray list;
        for (const OrderListEntry& e : entries)
            list += datafiles::quotedRecord({ e.orderDate, e.orderNumber, e.customerNumber, e.customerName });
        return list;
    }())
{
}

QByteArrayView OrderHistory::field(size_t index, int field) const
{
    const quint32 record = m_records[index];
    const QByteArrayView bytes = QByteArrayView(m_bytes).sliced(record & ~lineStartBit);
    datafiles::FieldStream stream(bytes, record & lineStartBit);
    datafiles::FieldSpan span;
    for (int f = 0; f <= field; ++f)
        stream.next(&span);
    return bytes.sliced(span.begin, span.end - span.begin);
}

OrderListEntry OrderHistory::entry(qsizetype place) const
{
    const size_t i = index(place);
    const auto text = [this, i](int f) {
        return datafiles::decode1252(field(i, f));
    };
    return { text(0), text(1), text(2), text(3) };
}

QString OrderHistory::orderNumber(qsizetype place) const
{
    return datafiles::decode1252(field(index(place), 1));
}

void OrderHistory::setState(size_t index, OrderState state)
{
    const quint64 bit = quint64(1) << (index % 64);
    m_inState[size_t(m_states[index])][index / 64] &= ~bit;
    m_inState[size_t(state)][index / 64] |= bit;
    m_states[index] = state;
}

void OrderHistory::takeStates(const StatusLog& log)
{
    for (size_t i = 0; i < m_records.size(); ++i)
        setState(i, log.stateOf(m_keys[i] ? QByteArrayView() : field(i, 1), m_keys[i]));
}

bool OrderHistory::matches(size_t index, const QList<QByteArray>& words) const
{
    const char* folded = m_folded.constData();
    const size_t foldedSize = size_t(m_folded.size());
    const quint32 first = m_firstWord[index];
    const quint32 last = m_firstWord[index + 1];
    for (const QByteArray& word : words) {
        const char* want = word.constData();
        const size_t length = size_t(word.size());
        bool begins = false;
        for (quint32 s = first; s < last && !begins; ++s) {
            const quint32 start = m_wordStarts[s];
            begins = folded[start] == want[0] && start + length <= foldedSize
                && std::memcmp(folded + start, want, length) == 0;
        }
        if (!begins)
            return false;
    }
    return true;
}

std::vector<int> OrderHistory::search(QStringView text, StatusFilter filter, qsizetype* hiddenByFilter) const
{
    // Any white space parts the words: a pasted line feed or tab is a blank,
    // never part of a word that could reach into the next field or order.
    static const QRegularExpression whiteSpace(QStringLiteral("\\s+"), QRegularExpression::UseUnicodePropertiesOption);
    const Folding& fold = folding();
    QList<QByteArray> words;
    bool findsNothing = false;
    for (const QString& typed : text.toString().split(whiteSpace, Qt::SkipEmptyParts)) {
        const std::optional<QByteArray> word = fold.word(typed);
        if (!word)
            findsNothing = true;
        else if (!words.contains(*word))
            words.append(*word);
    }
    // What a record must have among its initials and beginnings to be looked
    // at more closely; a word of one letter with a bit of its own needs no
    // closer look.
    quint64 initials = 0;
    quint64 beginnings = 0;
    bool bitsDecide = true; // also when there are no words
    for (const QByteArray& word : std::as_const(words)) {
        const auto first = size_t(static_cast<unsigned char>(word[0]));
        initials |= quint64(1) << fold.initialBit[first];
        if (word.size() >= 2)
            beginnings |= Folding::beginningBit(word.constData(), 2);
        if (word.size() >= 3)
            beginnings |= Folding::beginningBit(word.constData(), 3);
        bitsDecide = bitsDecide && word.size() == 1 && fold.ownBit[first] && fold.wordLetter[first];
    }

    std::vector<int> found;
    qsizetype hidden = 0;
    const size_t count = m_records.size();
    if (findsNothing) {
    } else if (words.isEmpty() && filter == StatusFilter::All) {
        found.resize(count);
        for (size_t place = 0; place < count; ++place)
            found[place] = int(place);
    } else {
        // Sixty-four records at a time, the newest first: their bits are
        // worked out together, and only the records they leave are looked at.
        found.reserve(words.isEmpty() ? count / 2 : 1024);
        for (size_t block = (count + 63) / 64; block-- > 0;) {
            const size_t first = block * 64;
            const size_t records = std::min<size_t>(64, count - first);
            const quint64 inBlock = records == 64 ? ~quint64(0) : (quint64(1) << records) - 1;
            const quint64 shown = shownBy(filter, block) & inBlock;
            quint64 candidates = hiddenByFilter ? inBlock : shown;
            if (!words.isEmpty() && candidates) {
                quint64 fit = 0;
                const quint64* recordInitials = m_initials.data() + first;
                for (size_t k = 0; k < records; ++k)
                    fit |= quint64((recordInitials[k] & initials) == initials) << k;
                if (beginnings) {
                    const quint64* recordBeginnings = m_beginnings.data() + first;
                    for (size_t k = 0; k < records; ++k)
                        fit &= ~(quint64((recordBeginnings[k] & beginnings) != beginnings) << k);
                }
                candidates &= fit;
            }
            while (candidates) {
                const int k = 63 - qCountLeadingZeroBits(candidates);
                candidates &= ~(quint64(1) << k);
                const size_t i = first + size_t(k);
                if (!bitsDecide && !matches(i, words))
                    continue;
                if (shown >> k & 1)
                    found.push_back(int(count - 1 - i));
                else
                    ++hidden;
            }
        }
    }
    if (hiddenByFilter)
        *hiddenByFilter = hidden;
    return found;
}

quint64 OrderHistory::shownBy(StatusFilter filter, size_t block) const
{
    const auto in = [this, block](OrderState state) {
        return m_inState[size_t(state)][block];
    };
    switch (filter) {
    case StatusFilter::All:
        return ~quint64(0);
    case StatusFilter::NotDelivered:
        return in(OrderState::Registered);
    case StatusFilter::NotInvoiced:
        return in(OrderState::Registered) | in(OrderState::Delivered);
    case StatusFilter::Voided:
        return in(OrderState::Voided);
    }
    return 0;
}

OrderHistoryRead readOrderHistory(const datafiles::DataDirectory& data)
{
    // The status file is read beside the order list, on a second processor
    // where the machine has one; both are read before the history opens.
    std::future<StatusLogRead> statusRead = std::async(std::launch::async, [data] { return readStatusLog(data); });
    OrderHistoryRead read;
    const QString list = data.orderList();
    // No list: no order has been printed yet.
    if (datafiles::isFile(list)) {
        const QString operation = QStringLiteral("läsa listan över utskrivna order");
        datafiles::ReadResult file = datafiles::readWholeFile(list);
        if (!file.ok()) {
            read.failure = file.failure->during(operation);
            return read;
        }
        read.history = OrderHistory(std::move(file.bytes));
        if (read.history.endsInsideRecord())
            read.cutShort.append(datafiles::endsInsideRecord(operation, list));
    }
    StatusLogRead status = statusRead.get();
    if (status.failure) {
        read.failure = status.failure;
        return read;
    }
    if (status.cutShort)
        read.cutShort.append(*status.cutShort);
    read.history.takeStates(status.log);
    read.status = std::move(status.log);
    return read;
}

} // namespace core
