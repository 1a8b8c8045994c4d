#pragma once

#include "datafiles/records.h"

#include <QAbstractTableModel>
#include <QStringView>

#include <vector>

// The product register as the picker lists it: one row per product, the four
// fields in file order. The rows are decoded only when the list draws them, so
// a register of a million products costs little more than the file's bytes.
class ProductRegisterModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ProductRegisterModel(datafiles::RecordTable products, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const datafiles::RecordTable& products() const { return m_products; }
    // Article number, description, unit and unit price of a row.
    QStringList product(int row) const;

    // The first row, from the top, whose article number begins with the text,
    // letters compared without regard to case (å and Å alike); -1 when none does.
    int findFirstArticleStartingWith(QStringView text) const;

private:
    datafiles::RecordTable m_products;
    // The first four letters of each article number, case folded, packed in
    // one word: a search compares these 4 MB for a million products and reads
    // the register itself only where they agree.
    std::vector<quint32> m_articleStarts;
};
