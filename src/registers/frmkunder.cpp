#include "frmkunder.h"

#include "recordform.h"

#include "order/importing.h"

#include "widgets/look.h"
#include "widgets/messagebox.h"
#include "widgets/reportlistview.h"
#include "widgets/reporttableview.h"
#include "widgets/textbox.h"
#include "widgets/twips.h"

#include <QLabel>
#include <QLineEdit>

CustomerListModel::CustomerListModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int CustomerListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_found.size());
}

int CustomerListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 4;
}

QVariant CustomerListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const core::Customer& c = customer(index.row());
    switch (index.column()) {
    case 0:
        return c.number;
    case 1:
        return c.name;
    case 2:
        return c.address;
    case 3:
        return c.postalAddress;
    default:
        return {};
    }
}

QVariant CustomerListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const captions[] = { "Kundnr", "Namn", "Adress", "Postadress" };
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 3)
        return {};
    return QString::fromUtf8(captions[section]);
}

void CustomerListModel::setCustomers(QList<core::Customer> customers)
{
    m_customers = std::move(customers);
    m_search = std::make_unique<core::CustomerSearch>(m_customers);
    search(m_text);
}

void CustomerListModel::search(QStringView text)
{
    beginResetModel();
    m_text = text.toString();
    m_found = m_search ? m_search->search(text) : std::vector<int>();
    endResetModel();
}

const core::Customer& CustomerListModel::customer(int row) const
{
    return m_customers.at(m_found[size_t(row)]);
}

int CustomerListModel::rowOf(const QString& number) const
{
    for (size_t row = 0; row < m_found.size(); ++row) {
        if (m_customers.at(m_found[row]).number == number)
            return int(row);
    }
    return -1;
}

FrmKunder* FrmKunder::open(const datafiles::DataDirectory& data, QWidget* parent)
{
    return listing(new FrmKunder(data), parent);
}

FrmKunder::FrmKunder(datafiles::DataDirectory data)
    : RegisterWindow({ "frmKunder", QStringLiteral("Kunder"), QStringLiteral("Kunder"), QStringLiteral("&Ny kund"),
                       true, QStringLiteral("kund"), QStringLiteral("Kund"),
                       QStringLiteral("Kunden kan inte sparas: %1.") })
    , m_data(std::move(data))
{
    m_model = new CustomerListModel(this);
    m_list->setModel(m_model);
    m_list->setDesignWidths({ 1200, 3600, 3000, 3000 });
    watch({ m_data.customerFolder() });
    resize(twipsToPixels(11400), twipsToPixels(7200));
    look::placeOnScreen(*this, size());
}

void FrmKunder::showCount()
{
    m_lblAntal->setText(QStringLiteral("%1 av %2 kunder").arg(m_model->rowCount()).arg(m_model->customers().size()));
}

void FrmKunder::txtSok_Change()
{
    m_model->search(m_txtSok->text());
    showCount();
}

RegisterWindow::Emptied FrmKunder::emptied() const
{
    // The counter-sale customer stays.
    qsizetype count = 0;
    for (const core::Customer& customer : m_model->customers())
        count += core::sameCustomerNumber(customer.number, core::counterSaleCustomer) ? 0 : 1;
    return { count, QStringLiteral("Kunder"), QStringLiteral("kunder"), core::canUndoCustomerList(m_data) };
}

std::optional<datafiles::Failure> FrmKunder::emptyRegister()
{
    return core::emptyCustomers(m_data);
}

std::optional<datafiles::Failure> FrmKunder::undoEmptying()
{
    return core::undoCustomerList(m_data);
}

RegisterWindow::Reading FrmKunder::readRegister()
{
    core::CustomersRead read = core::readCustomers(m_data);
    if (!read.failure) {
        m_model->setCustomers(std::move(read.customers));
        showCount();
    }
    return { read.failure, read.unreadable };
}

void FrmKunder::cmdNy_Click()
{
    openForm({}, true, 0);
}

void FrmKunder::cmdAndra_Click()
{
    const int row = rowToWorkOn();
    if (row >= 0)
        openForm(m_model->customer(row), false, 1);
}

void FrmKunder::addEmailAddress(const core::Customer& customer)
{
    constexpr int emailField = 4;
    for (const core::Customer& held : m_model->customers()) {
        if (core::sameCustomerNumber(held.number, customer.number)) {
            openForm(held, false, emailField);
            return;
        }
    }
    openForm(customer, true, emailField);
}

void FrmKunder::openForm(const core::Customer& customer, bool isNew, int focusField)
{
    const QList<RecordForm::Field> fields { { QStringLiteral("&Kundnr"), "txtKundnr" },
                                            { QStringLiteral("N&amn"), "txtNamn" },
                                            { QStringLiteral("A&dress"), "txtAdress" },
                                            { QStringLiteral("&Postadress"), "txtPostadress" },
                                            { QStringLiteral("&E-post"), "txtEpost" } };
    const QStringList texts { customer.number, customer.name, customer.address, customer.postalAddress,
                              customer.email };
    const QString previous = isNew ? QString() : customer.number;
    auto* form = new RecordForm(this, recordTitle(), fields, texts, focusField,
                                [this, previous](const QStringList& typed) { return save(typed, previous); });
    form->setObjectName(QStringLiteral("frmKund"));
    showForm(form);
}

bool FrmKunder::save(const QStringList& texts, const QString& previousNumber)
{
    const core::Customer customer { texts.at(0), texts.at(1), texts.at(2), texts.at(3), texts.at(4) };
    if (const std::optional<datafiles::Failure> failure = core::saveCustomer(m_data, customer, previousNumber)) {
        tellNotSaved(*failure);
        return false;
    }
    reload();
    chooseRow(m_model->rowOf(customer.number));
    return true;
}

void FrmKunder::cmdTaBort_Click()
{
    const int row = rowToWorkOn();
    if (row < 0)
        return;
    const core::Customer customer = m_model->customer(row);
    if (customer.number == core::counterSaleCustomer) {
        MessageBox::show(this, MessageBox::Icon::Information, QStringLiteral("Kunder"),
                         QStringLiteral("Kontantkunden 1 kan ändras men inte tas bort: ordern hämtar den när "
                                        "kundnumret är tomt eller okänt."));
        return;
    }
    if (!MessageBox::ask(this, QStringLiteral("Ta bort kund"),
                         QStringLiteral("Ta bort kund %1, %2?").arg(customer.number, customer.name)))
        return;
    if (const std::optional<datafiles::Failure> failure = core::removeCustomer(m_data, customer.number)) {
        MessageBox::reportFailure(this, *failure);
        return;
    }
    reload();
    chooseRow(std::min(row, m_model->rowCount() - 1));
}
