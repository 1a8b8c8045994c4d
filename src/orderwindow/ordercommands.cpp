// The order window's commands on the order itself: a new order, the customer,
// the lines, the order number and printing.

#include "frmmain.h"

#include "orderlinesmodel.h"

#include "order/basket.h"
#include "order/customerlookup.h"
#include "order/numbering.h"
#include "order/orderhistory.h"
#include "printing/output/printcommand.h"
#include "widgets/messagebox.h"
#include "widgets/reportlistview.h"
#include "widgets/textbox.h"

void FrmMain::mnuNy_Click()
{
    const core::NextNumber next = core::nextOrderNumber(m_data);
    if (next.failure) {
        MessageBox::reportFailure(this, *next.failure);
        return;
    }
    core::startNewOrder(m_order, next.number, m_today());
    showHead();
    emit orderNumberChanged(m_order.text(Field::OrderNumber));
}

void FrmMain::Label26_Click()
{
    if (const std::optional<core::Failure> failure = core::recordOrderNumber(m_data, m_order.text(Field::OrderNumber)))
        MessageBox::reportFailure(this, *failure);
}

void FrmMain::cmdGetCustomerInfo_Click()
{
    const core::CustomerLookup customer = core::lookUpCustomer(m_data, m_order.text(Field::CustomerNumber));
    for (TextBox* line : { m_txt_KundField1, m_txt_KundField2, m_txt_KundField3 })
        line->setReadOnly(!customer.linesEditable);
    core::applyCustomer(m_order, customer);
    for (Field field : { Field::CustomerNumber, Field::CustomerLine1, Field::CustomerLine2, Field::CustomerLine3 })
        showField(field);
}

void FrmMain::RemoveSelectedLines()
{
    const QList<int> selected = m_ListView1->selectedRows();
    if (selected.isEmpty())
        return;
    m_lines->removeLines(selected);
    if (core::rewriteBasket(m_data, m_order.text(Field::OrderNumber), m_order.lines()))
        MessageBox::showErrorBox(this, QStringLiteral("1033,87"));
}

void FrmMain::mnuMinus_Click()
{
    RemoveSelectedLines();
}

void FrmMain::mnuPrint_Click()
{
    const printing::PrintOutcome printed = printing::printOrder(m_order, orderLineColumns(), m_wording, m_data);
    if (printed.failure) {
        MessageBox::reportFailure(this, *printed.failure);
        return;
    }
    MessageBox::show(this, MessageBox::Icon::Information, QStringLiteral("Utskrift pågår..."), printed.confirmation);
}

void FrmMain::newOrderFrom(const core::Order& printed)
{
    const core::NextNumber next = core::nextOrderNumber(m_data);
    if (next.failure) {
        MessageBox::reportFailure(this, *next.failure);
        return;
    }
    const core::Order order = core::newOrderFrom(printed, m_order, next.number, m_today());
    // The new order's basket holds its lines from the start, in place of any
    // left by an earlier order that was given the same number but not printed.
    if (const std::optional<core::Failure> failure = core::rewriteBasket(m_data, next.number, order.lines())) {
        MessageBox::reportFailure(this, *failure);
        return;
    }
    showOrder(order);
    if (m_frmOrderhistorik)
        m_frmOrderhistorik->close();
    raise();
    activateWindow();
}
