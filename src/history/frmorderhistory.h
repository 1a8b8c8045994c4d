#pragma once

#include "datafiles/datadirectory.h"
#include "order/archive.h"
#include "order/customers.h"
#include "order/openorder.h"
#include "order/order.h"
#include "order/orderhistory.h"
#include "order/orderstatus.h"
#include "order/registers.h"
#include "widgets/singlewindow.h"

#include <QWidget>

#include <optional>

class FileWatch;
class OrderDetail;
class OrderHistoryModel;
class PdfWindow;
class QComboBox;
class QLineEdit;
class QPushButton;
class ReportListView;
class ValueLabel;

// "Orderhistorik": every printed order from the order list, newest first, found
// by the beginnings of its number, customer number or name as the operator
// types, and by its state through the filter. The chosen order's own files and
// its state's log fill the detail pane (`OrderDetail`); its kept PDF copy can
// be shown, sent to the printer again or attached to a new e-mail to the
// customer in the desktop's mail program, its delivery note printed, and "Ny
// order från denna" hands the order to the order window, which starts a new
// order from it. The chosen orders, one or several, can be marked delivered
// or invoiced, voided or set back to the state before their last change. The
// orders other desks print and the states they change show within seconds.
class FrmOrderHistory : public QWidget
{
    Q_OBJECT

public:
    // Builds the window, hidden, listing the order list; nullptr when the list
    // is there but cannot be read, after telling the operator why (in a box
    // over `parent`). State changes are dated by the desk's clock.
    static FrmOrderHistory* open(const datafiles::DataDirectory& data, core::OpenOrder::Clock clock,
                                 QWidget* parent = nullptr);

    // The chosen order as its files hold it; none when no order is chosen.
    const std::optional<core::Order>& chosenOrder() const { return m_chosen; }

    // Asks before something is done with the chosen order when it is voided:
    // the box names the order and the reason, and `doing` what is about to be
    // done ("skriva ut den igen"). True when the order is not voided or the
    // operator answers yes; false when no order is chosen.
    bool confirmIfVoided(const QString& doing);

signals:
    // "Ny order från denna": a new order is to be started from this one.
    void newOrderFrom(const core::Order& printed);
    // The operator would add an e-mail address for the customer, who has
    // none: the customer's number, and the name and address as the order has
    // them.
    void emailAddressWanted(const core::Customer& customer);

public slots:
    void txtSok_Change();
    void cboFilter_Change();
    void cmdVisa_Click();
    void cmdSkrivUtIgen_Click();
    void cmdFoljesedel_Click();
    void cmdEpost_Click();
    void cmdNyOrder_Click();
    void cmdLevererad_Click();
    void cmdFakturerad_Click();
    void cmdMakulera_Click();
    void cmdAngra_Click();
    void cmdStang_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FrmOrderHistory(datafiles::DataDirectory data, core::OpenOrder::Clock clock);
    void Form_Load(core::OrderHistory history);
    void setupControls();
    QWidget* setupList();
    void listFound();
    void chooseRow(int row);
    void showChosen();
    void clearDetail();
    // The orders the status commands act on: the rows selected, or the
    // chosen order.
    QStringList chosenNumbers() const;
    void enableStatusCommands();
    void changeStatus(core::StatusCommand command, const QStringList& numbers, const QString& reason = {});
    // Lists the orders again after some changed state, or the history read
    // again, keeping the chosen order and the selection where the filter
    // still lists them.
    void listAgain(std::optional<core::OrderHistory> readAgain = std::nullopt);
    // The list and the status file read again: other desks changed them.
    void readAgain();
    // The chosen order's kept PDF copy; empty when it has none.
    QString keptCopy() const;

    datafiles::DataDirectory m_data;
    core::OpenOrder::Clock m_clock;
    core::CodeWording m_wording;
    core::StatusLog m_status;
    std::optional<core::Order> m_chosen;

    QLineEdit* m_txtSok = nullptr;
    QComboBox* m_cboFilter = nullptr;
    ReportListView* m_orderList = nullptr;
    ValueLabel* m_lblAntal = nullptr;
    OrderHistoryModel* m_model = nullptr;
    FileWatch* m_watch = nullptr;

    OrderDetail* m_detail = nullptr;

    QPushButton* m_cmdVisa = nullptr;
    QPushButton* m_cmdSkrivUtIgen = nullptr;
    QPushButton* m_cmdFoljesedel = nullptr;
    QPushButton* m_cmdEpost = nullptr;
    QPushButton* m_cmdNyOrder = nullptr;
    QPushButton* m_cmdLevererad = nullptr;
    QPushButton* m_cmdFakturerad = nullptr;
    QPushButton* m_cmdMakulera = nullptr;
    QPushButton* m_cmdAngra = nullptr;
    QPushButton* m_cmdStang = nullptr;

    SingleWindow<PdfWindow> m_frmVisaOrder;
};
