#include "frmproduktregister.h"

#include "recordform.h"

#include "datafiles/textfile.h"
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
    return listing(new FrmProduktregister(data), parent);
}

FrmProduktregister::FrmProduktregister(datafiles::DataDirectory data)
    : RegisterWindow({ "frmProduktregister", QStringLiteral("Produktregister"), QStringLiteral("Produkter"),
                       QStringLiteral("&Ny produkt"), true, QStringLiteral("produkt"), QStringLiteral("Produkt"),
                       QStringLiteral("Produkten kan inte sparas: %1.") })
    , m_data(std::move(data))
{
    m_model = new ProductRegisterModel({}, core::ProductIndex::Words::AndDescription, this);
    m_list->setModel(m_model);
    m_list->setDesignWidths({ 1800, 5400, 900, 1300 });
    watch({ m_data.productRegister() });
    resize(twipsToPixels(10455), twipsToPixels(7200));
    look::placeOnScreen(*this, size());
}

RegisterWindow::Emptied FrmProduktregister::emptied() const
{
    return { m_model->products().recordCount(), QStringLiteral("Produkter"), QStringLiteral("produkter"),
             datafiles::isFile(core::keptBeforeEmptying(m_data.productRegister())) };
}

std::optional<datafiles::Failure> FrmProduktregister::emptyRegister()
{
    return core::emptyRegister(m_data, m_data.productRegister(), m_model->products(), QStringLiteral("Produkter"))
        .failure;
}

std::optional<datafiles::Failure> FrmProduktregister::undoEmptying()
{
    return core::undoEmptying(m_data, m_data.productRegister(), QStringLiteral("Produkter"));
}

RegisterWindow::Reading FrmProduktregister::readRegister()
{
    core::RecordsRead read = core::readProducts(m_data, core::WhenMissing::IsEmpty);
    if (!read.failure) {
        m_model->replaceProducts(std::move(read.records));
        showCount();
    }
    if (read.cutShort)
        read.cutShort = core::cutRecordWillBeDropped(*read.cutShort);
    return { read.failure, read.cutShort };
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

void FrmProduktregister::cmdNy_Click()
{
    openForm(-1);
}

void FrmProduktregister::cmdAndra_Click()
{
    const int row = rowToWorkOn();
    if (row >= 0)
        openForm(m_model->productAt(row));
}

void FrmProduktregister::openForm(int product)
{
    const QList<RecordForm::Field> fields {
        { QStringLiteral("&Artikelnr"), "txtArtikelnr", 0, core::productFieldTab(core::articleField) },
        { QStringLiteral("&Benämning"), "txtBenamning", 0, core::productFieldTab(core::descriptionField) },
        { QStringLiteral("&Enhet"), "txtEnhet", 0, core::productFieldTab(core::unitField) },
        { QStringLiteral("A-&pris"), "txtApris", 0, core::productFieldTab(core::priceField) }
    };
    const QStringList texts = product < 0 ? QStringList() : m_model->products().record(product);
    auto* form = new RecordForm(this, recordTitle(), fields, texts, product < 0 ? 0 : 1,
                                [this, product](const QStringList& typed) { return save(typed, product); });
    form->setObjectName(QStringLiteral("frmProdukt"));
    showForm(form);
}

bool FrmProduktregister::save(const QStringList& texts, int product)
{
    if (!listSaved(core::saveProduct(m_data, m_model->products(), m_model->index(), product, texts)))
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

bool FrmProduktregister::listSaved(core::RegisterSaved saved)
{
    if (saved.failure) {
        tellNotSaved(*saved.failure);
        return false;
    }
    m_model->replaceProducts(std::move(saved.records));
    markWritten();
    showCount();
    return true;
}

void FrmProduktregister::cmdTaBort_Click()
{
    const int row = rowToWorkOn();
    if (row < 0)
        return;
    const int product = m_model->productAt(row);
    const QStringList texts = m_model->products().record(product);
    if (!MessageBox::ask(this, QStringLiteral("Ta bort produkt"),
                         QStringLiteral("Ta bort produkt %1, %2?").arg(texts.at(0), texts.at(1))))
        return;
    if (listSaved(core::removeProduct(m_data, m_model->products(), product)))
        chooseRow(std::min(row, m_model->rowCount() - 1));
}
