#include "orderhistory.h"

#include "wordsearch.h"

#include "datafiles/codepage.h"
#include "datafiles/records.h"
#include "datafiles/textfile.h"

#include <QtAlgorithms>

#include <array>
#include <cstring>
#include <future>

namespace core {
namespace {

// Marks the end of one field in the folded text, so that no word runs on
// into the next field.
constexpr char fieldEnd = '\n';

// The bytes of the order list case folded as every search of the program
// folds them, a line break inside a field a blank there, never the end of the
// field; and the bit of a folded letter or digit among a record's initials,
// one of its own for the digits, a to z and the Nordic letters.
struct Folding
{
    datafiles::ByteTable folded = datafiles::foldedBytes();
    std::array<bool, 256> wordLetter = datafiles::letterOrDigitBytes();
    std::array<quint8, 256> initialBit {};
    std::array<bool, 256> ownBit {};

    Folding()
    {
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
};

const Folding& folding()
{
    static const Folding instance;
    return instance;
}

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

OrderHistory::OrderHistory(const QList<OrderListEntry>& entries)
{
    QByteArray list;
    for (const OrderListEntry& e : entries)
        list += datafiles::quotedRecord({ e.orderDate, e.orderNumber, e.customerNumber, e.customerName });
    reserve(list.size());
    take(OrderList(std::move(list), [this](const OrderList::Fields& fields) { add(fields); }));
}

void OrderHistory::reserve(qsizetype listBytes)
{
    // About 45 bytes an order.
    listBytes = std::max<qsizetype>(listBytes, 0);
    const size_t expected = size_t(listBytes / 40 + 16);
    m_keys.reserve(expected);
    m_firstWord.reserve(expected + 1);
    m_initials.reserve(expected);
    m_beginnings.reserve(expected);
    m_folded.resize(listBytes + 64);
    m_wordStarts.reserve(expected * 5);
}

void OrderHistory::add(const OrderList::Fields& fields)
{
    const Folding& fold = folding();
    const qsizetype searched = fields[1].size() + fields[2].size() + fields[3].size() + 3;
    if (m_foldedSize + searched > m_folded.size())
        m_folded.resize(std::max(m_folded.size() * 2, m_foldedSize + searched));
    char* folded = m_folded.data();
    m_keys.push_back(orderNumberKey(fields[1]));
    const size_t firstWord = m_wordStarts.size();
    m_firstWord.push_back(quint32(firstWord));
    for (int f = 1; f < orderListFields; ++f) {
        bool inWord = false;
        for (char c : fields[size_t(f)]) {
            const auto byte = size_t(static_cast<unsigned char>(c));
            const bool letter = fold.wordLetter[byte];
            if (letter && !inWord)
                m_wordStarts.push_back(quint32(m_foldedSize));
            inWord = letter;
            folded[m_foldedSize++] = fold.folded[byte];
        }
        folded[m_foldedSize++] = fieldEnd;
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

void OrderHistory::take(OrderList list)
{
    m_list = std::move(list);
    m_firstWord.push_back(quint32(m_wordStarts.size()));
    m_folded.resize(m_foldedSize);
    const size_t records = m_keys.size();
    m_states.assign(records, OrderState::Registered);
    for (std::vector<quint64>& bits : m_inState)
        bits.assign((records + 63) / 64, 0);
    for (size_t i = 0; i < records; ++i)
        m_inState[size_t(OrderState::Registered)][i / 64] |= quint64(1) << (i % 64);
}

QString OrderHistory::orderNumber(qsizetype place) const
{
    return datafiles::decode1252(m_list.fields(index(place))[1]);
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
    for (size_t i = 0; i < m_keys.size(); ++i)
        setState(i, log.stateOf(m_keys[i] ? QByteArrayView() : m_list.fields(qsizetype(i))[1], m_keys[i]));
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
    const Folding& fold = folding();
    QList<QByteArray> words;
    bool findsNothing = false;
    for (const QString& typed : WordSearch::searchWords(text)) {
        // A character that no byte stands for is in no order.
        if (const std::optional<QByteArray> word = datafiles::foldedBytes(typed))
            words.append(*word);
        else
            findsNothing = true;
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
    const size_t count = m_keys.size();
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
    read.history.reserve(datafiles::fileSize(data.orderList()));
    OrderListRead list
        = readOrderList(data, [&history = read.history](const OrderList::Fields& fields) { history.add(fields); });
    if (list.failure) {
        read.failure = list.failure;
        return read;
    }
    read.history.take(std::move(list.list));
    if (list.cutShort)
        read.cutShort.append(*list.cutShort);
    StatusLogRead status = statusRead.get();
    if (status.failure) {
        read.failure = status.failure;
        return read;
    }
    if (status.cutShort)
        read.cutShort.append(*status.cutShort);
    if (status.skipped)
        read.cutShort.append(*status.skipped);
    read.history.takeStates(status.log);
    read.status = std::move(status.log);
    return read;
}

} // namespace core
