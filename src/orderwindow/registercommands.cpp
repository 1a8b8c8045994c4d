// The Data menu: the pickers for payment terms, delivery and freight method.

#include "frmmain.h"

#include "pickers/registerpicker.h"

void FrmMain::mnuData_Betk_Click()
{
    showSingle(m_frmBetk, [this] { return RegisterPicker::create(*this, RegisterPicker::Register::PaymentTerms); });
}

void FrmMain::mnuData_Levs_Click()
{
    showSingle(m_frmLevS, [this] { return RegisterPicker::create(*this, RegisterPicker::Register::DeliveryMethod); });
}

void FrmMain::mnuData_Frkts_Click()
{
    showSingle(m_frmFrkts, [this] { return RegisterPicker::create(*this, RegisterPicker::Register::FreightMethod); });
}
