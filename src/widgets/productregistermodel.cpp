#include "productregistermodel.h"

#include <algorithm>
#include <climits>

ProductRegisterModel::ProductRegisterModel(datafiles::RecordTable products, core::ProductIndex::Words words,
                                           QObject* parent)
    : QAbstractTableModel(parent)
    , m_products(std::move(products))
    , m_words(words)
    , m_index(m_products, words)
{
}

int ProductRegisterModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    if (m_searching)
        return int(m_found.size());
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
    return m_products.field(productAt(index.row()), index.column());
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
    return m_products.record(productAt(row));
}

int ProductRegisterModel::productAt(int row) const
{
    return m_searching ? m_found[size_t(row)] : row;
}

int ProductRegisterModel::rowOf(int product) const
{
    if (!m_searching)
        return product < m_products.recordCount() ? product : -1;
    const auto found = std::lower_bound(m_found.begin(), m_found.end(), product);
    return found != m_found.end() && *found == product ? int(found - m_found.begin()) : -1;
}

int ProductRegisterModel::findFirstArticleStartingWith(QStringView text) const
{
    const int product = m_index.findFirstArticleStartingWith(m_products, text);
    return product < 0 ? -1 : rowOf(product);
}

void ProductRegisterModel::search(QStringView text)
{
    beginResetModel();
    m_searchText = text.toString();
    m_searching = !m_searchText.trimmed().isEmpty();
    m_found.clear();
    if (m_searching)
        m_found = m_index.search(m_products, text);
    endResetModel();
}

void ProductRegisterModel::replaceProducts(datafiles::RecordTable products)
{
    beginResetModel();
    m_products = std::move(products);
    m_index = core::ProductIndex(m_products, m_words);
    m_found.clear();
    if (m_searching)
        m_found = m_index.search(m_products, m_searchText);
    endResetModel();
}
