#pragma once

#include "datafiles/datadirectory.h"
#include "order/archive.h"
#include "order/order.h"
#include "order/registers.h"
#include "widgets/singlewindow.h"

#include <QWidget>

#include <optional>

class OrderHistoryModel;
class PdfWindow;
class QLineEdit;
class QPushButton;
class ReportListView;
class ValueLabel;

// "Orderhistorik": every printed order from the order list, newest first, found
// by the beginnings of its number, customer number or name as the operator
// types. The chosen order's own files fill the detail pane; its kept PDF copy
// can be shown or sent to the printer again, and "Ny order från denna" hands
// the order to the order window, which starts a new order from it.
class FrmOrderHistory : public QWidget
{
    Q_OBJECT

public:
    // Builds the window, hidden, listing the order list; nullptr when the list
    // is there but cannot be read, after telling the operator why (in a box
    // over `parent`).
    static FrmOrderHistory* open(const datafiles::DataDirectory& data, QWidget* parent = nullptr);

    // The chosen order as its files hold it; none when no order is chosen.
    const std::optional<core::Order>& chosenOrder() const { return m_chosen; }

signals:
    // "Ny order från denna": a new order is to be started from this one.
    void newOrderFrom(const core::Order& printed);

public slots:
    void txtSok_Change();
    void cmdVisa_Click();
    void cmdSkrivUtIgen_Click();
    void cmdNyOrder_Click();
    void cmdStang_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FrmOrderHistory(datafiles::DataDirectory data);
    void Form_Load(const QList<core::OrderListEntry>& entries);
    void setupControls();
    QWidget* setupDetail();
    void chooseRow(int row);
    void showChosen();
    void clearDetail();
    // The chosen order's kept PDF copy; empty when it has none.
    QString keptCopy() const;

    datafiles::DataDirectory m_data;
    core::CodeWording m_wording;
    std::optional<core::Order> m_chosen;

    QLineEdit* m_txtSok = nullptr;
    ReportListView* m_ListView1 = nullptr;
    OrderHistoryModel* m_model = nullptr;

    ValueLabel* m_lblKund = nullptr;
    ValueLabel* m_lblInfo = nullptr;
    QList<ValueLabel*> m_headValues;
    ReportListView* m_lvwOrderrader = nullptr;
    ValueLabel* m_lblExklMoms = nullptr;
    ValueLabel* m_lblMomsProcent = nullptr;
    ValueLabel* m_lblMomsKr = nullptr;
    ValueLabel* m_lblAttBetala = nullptr;
    ValueLabel* m_lblProblem = nullptr;

    QPushButton* m_cmdVisa = nullptr;
    QPushButton* m_cmdSkrivUtIgen = nullptr;
    QPushButton* m_cmdNyOrder = nullptr;
    QPushButton* m_cmdStang = nullptr;

    SingleWindow<PdfWindow> m_frmVisaOrder;
};
