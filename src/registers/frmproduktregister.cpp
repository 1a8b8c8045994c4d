#include "frmproduktregister.h"

#include "recordform.h"

#include "order/registerediting.h"
#include "widgets/look.h"
#include "widgets/messagebox.h"
#include "widgets/productregistermodel.h"
#include "widgets/reportlistview.h"
#include "widgets/reporttableview.h"
#include "widgets/textbox.h"
#include "widgets/twips.h"

#include <QLabel>
#include <QLineEdit>

FrmProduktregister* FrmProduktregister::open(const datafiles::DataDirectory& data, QWidget* parent)
{
    core::EditableRegister read = core::readEditableProducts(data);
    if (read.failure) {
        MessageBox::reportFailure(parent, *read.failure);
        return nullptr;
    }
    auto* window = new FrmProduktregister(data, std::move(read.records));
    if (read.cutShort)
        MessageBox::reportFailure(parent, core::cutRecordWillBeDropped(*read.cutShort));
    return window;
}

FrmProduktregister::FrmProduktregister(datafiles::DataDirectory data, datafiles::RecordTable products)
    : RegisterWindow({ "frmProduktregister", QStringLiteral("Produktregister"), QStringLiteral("Produkter"),
                       QStringLiteral("&Ny produkt"), true })
    , m_data(std::move(data))
{
    m_model = new ProductRegisterModel(std::move(products), core::ProductIndex::Words::AndDescription, this);
    m_list->setModel(m_model);
    m_list->setDesignWidths({ 1800, 5400, 900, 1300 });
    showCount();
    resize(twipsToPixels(10455), twipsToPixels(7200));
    look::placeOnScreen(*this, size());
}

void FrmProduktregister::showCount()
{
    m_lblAntal->setText(
        QStringLiteral("%1 av %2 produkter").arg(m_model->rowCount()).arg(m_model->products().recordCount()));
}

void FrmProduktregister::txtSok_Change()
{
    m_model->search(m_txtSok->text());
    showCount();
}

void FrmProduktregister::reload()
{
    core::EditableRegister read = core::readEditableProducts(m_data);
    if (read.failure) {
        MessageBox::reportFailure(this, *read.failure);
        return;
    }
    m_model->replaceProducts(std::move(read.records));
    showCount();
}

void FrmProduktregister::cmdNy_Click()
{
    openForm(-1);
}

void FrmProduktregister::cmdAndra_Click()
{
    const int row = chosenRow();
    if (row < 0) {
        MessageBox::show(this, MessageBox::Icon::Information, {}, QStringLiteral("Välj först en produkt i listan."));
        return;
    }
    openForm(m_model->productAt(row));
}

void FrmProduktregister::openForm(int product)
{
    const QList<RecordForm::Field> fields { { QStringLiteral("&Artikelnr"), "txtArtikelnr" },
                                            { QStringLiteral("&Benämning"), "txtBenamning" },
                                            { QStringLiteral("&Enhet"), "txtEnhet" },
                                            { QStringLiteral("A-&pris"), "txtApris" } };
    const QStringList texts = product < 0 ? QStringList() : m_model->products().record(product);
    auto* form = new RecordForm(this, QStringLiteral("Produkt"), fields, texts, product < 0 ? 0 : 1,
                                [this, product](const QStringList& typed) { return save(typed, product); });
    form->setObjectName(QStringLiteral("frmProdukt"));
    form->show();
    form->activateWindow();
}

bool FrmProduktregister::save(const QStringList& texts, int product)
{
    auto refuse = [this](const QString& reason) {
        MessageBox::show(this, MessageBox::Icon::Information, QStringLiteral("Produkt"),
                         QStringLiteral("Produkten kan inte sparas: %1.").arg(reason));
        return false;
    };
    QStringList stored = texts;
    if (!texts.at(core::priceField).trimmed().isEmpty()) {
        const std::optional<QString> price = core::storedPrice(texts.at(core::priceField));
        if (!price)
            return refuse(core::priceIsNoNumber(texts.at(core::priceField)));
        stored[core::priceField] = *price;
    }
    if (const QString problem = core::productProblem(stored); !problem.isEmpty())
        return refuse(problem);
    const datafiles::RecordTable& products = m_model->products();
    if (const int other = m_model->index().findArticle(products, stored.at(core::articleField), product); other >= 0)
        return refuse(core::articleNumberTaken(products.field(other, core::articleField)));

    datafiles::RecordChanges changes;
    if (product < 0)
        changes.added.append(stored);
    else
        changes.replaced[product] = stored;
    if (!saveChanges(changes, QStringLiteral("spara produkt %1").arg(stored.at(core::articleField))))
        return false;
    const int saved = product < 0 ? int(m_model->products().recordCount()) - 1 : product;
    int row = m_model->rowOf(saved);
    if (row < 0) {
        // A product the search does not find is shown all the same.
        m_txtSok->clear();
        row = m_model->rowOf(saved);
    }
    chooseRow(row);
    return true;
}

bool FrmProduktregister::saveChanges(const datafiles::RecordChanges& changes, const QString& operation)
{
    core::RegisterSaved saved = core::saveRegister(m_data.productRegister(), m_model->products(), changes, operation);
    if (saved.failure) {
        MessageBox::reportFailure(this, *saved.failure);
        if (saved.failure->is(datafiles::FailureKind::ChangedSinceRead))
            reload();
        return false;
    }
    m_model->replaceProducts(std::move(saved.records));
    showCount();
    return true;
}

void FrmProduktregister::cmdTaBort_Click()
{
    const int row = chosenRow();
    if (row < 0) {
        MessageBox::show(this, MessageBox::Icon::Information, {}, QStringLiteral("Välj först en produkt i listan."));
        return;
    }
    const int product = m_model->productAt(row);
    const QStringList texts = m_model->products().record(product);
    if (!MessageBox::ask(this, QStringLiteral("Ta bort produkt"),
                         QStringLiteral("Ta bort produkt %1, %2?").arg(texts.at(0), texts.at(1))))
        return;
    datafiles::RecordChanges changes;
    changes.removed.insert(product);
    if (saveChanges(changes, QStringLiteral("ta bort produkt %1").arg(texts.at(0))))
        chooseRow(std::min(row, m_model->rowCount() - 1));
}
