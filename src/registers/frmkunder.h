#pragma once

#include "registerwindow.h"

#include "datafiles/datadirectory.h"
#include "order/customers.h"

#include <QAbstractTableModel>

#include <memory>
#include <vector>

// The customers the customer register lists: those the search finds, in
// the columns "Kundnr", "Namn", "Adress" and "Postadress".
class CustomerListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit CustomerListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void setCustomers(QList<core::Customer> customers);
    void search(QStringView text);
    const core::Customer& customer(int row) const;
    const QList<core::Customer>& customers() const { return m_customers; }
    int rowOf(const QString& number) const;

private:
    QList<core::Customer> m_customers;
    std::unique_ptr<core::CustomerSearch> m_search;
    QString m_text;
    std::vector<int> m_found;
};

// "Kunder": every customer file, found by the beginnings of the words of its
// number or name. "Ny kund" and "Ändra" open the form "Kund", which writes the
// customer's file; "Ta bort" removes it, after asking. The counter-sale
// customer "1" can be edited but never removed.
class FrmKunder : public RegisterWindow
{
    Q_OBJECT

public:
    // Builds the window, hidden, listing the customers; nullptr when the
    // Customer folder cannot be listed, after telling the operator (in a box
    // over `parent`).
    static FrmKunder* open(const datafiles::DataDirectory& data, QWidget* parent = nullptr);

    CustomerListModel* customers() const { return m_model; }
    // The form for the customer's e-mail address: the customer as the register
    // holds it, or, where it has none of that number, a new one as given.
    void addEmailAddress(const core::Customer& customer);

public slots:
    void cmdNy_Click() override;
    void cmdAndra_Click() override;
    void cmdTaBort_Click() override;

protected:
    void txtSok_Change() override;
    Reading readRegister() override;
    Emptied emptied() const override;
    std::optional<datafiles::Failure> emptyRegister() override;
    std::optional<datafiles::Failure> undoEmptying() override;

private:
    explicit FrmKunder(datafiles::DataDirectory data);
    void openForm(const core::Customer& customer, bool isNew, int focusField);
    bool save(const QStringList& texts, const QString& previousNumber);
    void showCount();

    datafiles::DataDirectory m_data;
    CustomerListModel* m_model = nullptr;
};
