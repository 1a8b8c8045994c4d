// The order window's commands that open the other windows, and how their
// results come back into the order.

#include "frmmain.h"

#include "history/frmorderhistory.h"
#include "history/pdfwindow.h"
#include "pickers/frmaddproduct.h"
#include "pickers/registerpicker.h"
#include "printing/output/preview.h"
#include "retrieval/frmgetinfo.h"
#include "retrieval/frmvarning.h"
#include "widgets/messagebox.h"

namespace {

core::Order::Field codeField(core::CodeRegister which)
{
    switch (which) {
    case core::CodeRegister::PaymentTerms:
        return core::Order::PaymentTerms;
    case core::CodeRegister::DeliveryMethod:
        return core::Order::DeliveryMethod;
    case core::CodeRegister::FreightMethod:
        break;
    }
    return core::Order::FreightMethod;
}

} // namespace

void FrmMain::openRegisterPicker(QPointer<QWidget>& slot, core::CodeRegister which)
{
    showSingle(slot, [this, which]() -> QWidget* {
        RegisterPicker* picker = RegisterPicker::create(m_data, which, m_order.text(codeField(which)), this);
        if (picker)
            connect(picker, &RegisterPicker::codeChosen, this,
                    [this, which](const QString& code) { applyCode(which, code); });
        return picker;
    });
}

void FrmMain::applyCode(core::CodeRegister which, const QString& code)
{
    const Field field = codeField(which);
    m_order.setText(field, code);
    showField(field);
    // The picker has just read the register; the printed wording follows it.
    m_wording.reload(which);
}

void FrmMain::mnuData_Betk_Click()
{
    openRegisterPicker(m_frmBetk, core::CodeRegister::PaymentTerms);
}

void FrmMain::mnuData_Levs_Click()
{
    openRegisterPicker(m_frmLevS, core::CodeRegister::DeliveryMethod);
}

void FrmMain::mnuData_Frkts_Click()
{
    openRegisterPicker(m_frmFrkts, core::CodeRegister::FreightMethod);
}

void FrmMain::mnuVisa_Produkter_Click()
{
    showSingle(m_frmAddProduct, [this]() -> QWidget* {
        FrmAddProduct* picker = FrmAddProduct::open(m_data, m_order.text(Field::OrderNumber), this);
        if (picker) {
            connect(picker, &FrmAddProduct::lineAdded, this,
                    [this](const core::OrderLine& line) { addLines({ line }); });
            connect(this, &FrmMain::orderNumberChanged, picker, &FrmAddProduct::setOrderNumber);
        }
        return picker;
    });
}

void FrmMain::mnuPlus_Click()
{
    mnuVisa_Produkter_Click();
}

void FrmMain::mnuHamta_Click()
{
    showSingle(m_frmGetInfo, [this]() -> QWidget* {
        auto* window = new FrmGetInfo(m_data);
        if (!window->Form_Load(this)) {
            delete window;
            return nullptr;
        }
        connect(window, &FrmGetInfo::linesFetched, this, &FrmMain::addLines);
        return window;
    });
}

void FrmMain::mnuHelp_Varning_Click()
{
    showSingle(m_frmVarning, [this]() -> QWidget* {
        auto* window = new FrmVarning(m_data);
        window->Form_Load();
        return window;
    });
}

void FrmMain::mnuOrderhistorik_Click()
{
    showSingle(m_frmOrderhistorik, [this]() -> QWidget* {
        auto* window = new FrmOrderHistory(m_data);
        if (!window->Form_Load(this)) {
            delete window;
            return nullptr;
        }
        connect(window, &FrmOrderHistory::newOrderFrom, this, &FrmMain::newOrderFrom);
        return window;
    });
}

void FrmMain::mnuForhandsgranska_Click()
{
    const printing::Preview preview = printing::previewOrder(m_order, orderLineColumns(), m_wording, m_data);
    if (preview.failure) {
        MessageBox::reportFailure(this, *preview.failure);
        return;
    }
    // An open preview shows the order as it stands now.
    QWidget* shown = showSingle(m_frmForhandsgranskning, [this]() -> QWidget* {
        PdfWindow* window = PdfWindow::preview();
        connect(window, &PdfWindow::printRequested, this, &FrmMain::mnuPrint_Click);
        return window;
    });
    QString reason;
    if (!static_cast<PdfWindow*>(shown)->showBytes(preview.pdf, &reason))
        MessageBox::reportFailure(this, QStringLiteral("förhandsgranska ordern"), QString(), reason);
}
