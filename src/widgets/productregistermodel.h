#pragma once

#include "datafiles/records.h"
#include "order/productindex.h"

#include <QAbstractTableModel>
#include <QStringView>

#include <vector>

// The product register as the picker and the register window list it: one row
// per product, the four fields in file order, or only the products a search
// found. The rows are decoded only when the list draws them, so a register of
// a million products costs little more than the file's bytes.
class ProductRegisterModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ProductRegisterModel(datafiles::RecordTable products,
                                  core::ProductIndex::Words words = core::ProductIndex::Words::ArticleOnly,
                                  QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const datafiles::RecordTable& products() const { return m_products; }
    const core::ProductIndex& index() const { return m_index; }
    // Article number, description, unit and unit price of a row.
    QStringList product(int row) const;
    // The product a row shows: its place in the register.
    int productAt(int row) const;
    // The row that shows a product; -1 when the search left it out.
    int rowOf(int product) const;

    // The first row, from the top, whose article number begins with the text,
    // letters compared without regard to case (å and Å alike); -1 when none does.
    int findFirstArticleStartingWith(QStringView text) const;

    // Lists only the products the text finds (ProductIndex::search); every
    // product for an empty text.
    void search(QStringView text);
    // Lists the register as it now stands after a change was saved, found by
    // the same text as before.
    void replaceProducts(datafiles::RecordTable products);

private:
    datafiles::RecordTable m_products;
    core::ProductIndex::Words m_words;
    core::ProductIndex m_index;
    QString m_searchText;
    bool m_searching = false;
    std::vector<int> m_found; // the products listed, while searching
};
