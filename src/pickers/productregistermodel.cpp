#include "productregistermodel.h"

#include "datafiles/codepage.h"

#include <array>
#include <climits>
#include <optional>

namespace {

// Each byte of the register mapped to the smallest byte whose character folds
// to the same letter, so that comparing mapped bytes ignores letter case exactly
// as comparing the decoded texts would.
struct CaseFolding
{
    std::array<uchar, 256> canonical {};
    std::array<char16_t, 256> folded {};

    CaseFolding()
    {
        for (int b = 0; b < 256; ++b)
            folded[size_t(b)] = datafiles::charFrom1252(char(b)).toCaseFolded().unicode();
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

} // namespace

ProductRegisterModel::ProductRegisterModel(datafiles::RecordTable products, QObject* parent)
    : QAbstractTableModel(parent)
    , m_products(std::move(products))
{
    const auto& canonical = caseFolding().canonical;
    m_articleStarts.resize(size_t(rowCount()));
    uchar letters[packedLetters];
    for (int row = 0; row < rowCount(); ++row) {
        const QByteArrayView article = m_products.fieldBytes(row, 0);
        const qsizetype count = qMin<qsizetype>(article.size(), packedLetters);
        for (qsizetype i = 0; i < count; ++i)
            letters[i] = canonical[uchar(article[i])];
        m_articleStarts[size_t(row)] = packedStart(letters, count);
    }
}

int ProductRegisterModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return int(qMin<qsizetype>(m_products.recordCount(), INT_MAX));
}

int ProductRegisterModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 4;
}

QVariant ProductRegisterModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return m_products.field(index.row(), index.column());
}

QVariant ProductRegisterModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0:
        return QStringLiteral("Artikelnr");
    case 1:
        return QStringLiteral("Benämning");
    case 2:
        return QStringLiteral("Enhet");
    case 3:
        return QStringLiteral("A-pris");
    default:
        return {};
    }
}

QStringList ProductRegisterModel::product(int row) const
{
    return m_products.record(row);
}

int ProductRegisterModel::findFirstArticleStartingWith(QStringView text) const
{
    const CaseFolding& folding = caseFolding();
    QByteArray wanted;
    wanted.reserve(text.size());
    for (QChar c : text) {
        const std::optional<uchar> byte = folding.canonicalOf(c);
        if (!byte)
            return -1; // a letter no article number can hold
        wanted.append(char(*byte));
    }

    const qsizetype length = wanted.size();
    const uchar* want = reinterpret_cast<const uchar*>(wanted.constData());
    const quint32 wantedStart = packedStart(want, length);
    const quint32 mask = length >= packedLetters ? 0xFFFFFFFFu : (quint32(1) << (8 * length)) - 1;
    const auto& canonical = folding.canonical;
    const int rows = rowCount();
    for (int row = 0; row < rows; ++row) {
        if ((m_articleStarts[size_t(row)] & mask) != wantedStart)
            continue;
        const QByteArrayView article = m_products.fieldBytes(row, 0);
        if (article.size() < length)
            continue;
        const uchar* have = reinterpret_cast<const uchar*>(article.data());
        qsizetype i = 0;
        while (i < length && canonical[have[i]] == want[i])
            ++i;
        if (i == length)
            return row;
    }
    return -1;
}
