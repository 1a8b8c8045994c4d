#pragma once

#include "datafiles/datadirectory.h"
#include "order/order.h"
#include "order/orderhistory.h"
#include "order/orderstatus.h"

#include <QList>
#include <QWidget>

class QPushButton;
class ReportListView;
class TextBox;

// The printed orders, as the order list records them, each with its state;
// the search finds them as the history's does. "Hämta" hands back the lines of
// the chosen order as it was printed, for the order window to add after the
// lines it already has, asking first where the order is voided. It reads files
// only and writes none.
class FrmGetInfo : public QWidget
{
    Q_OBJECT

public:
    // Builds the window, hidden, listing the order list; nullptr when the order
    // list or the status file is there but could not be read, after telling
    // the operator why (in a box over `parent`).
    static FrmGetInfo* open(const datafiles::DataDirectory& data, QWidget* parent = nullptr);

    ReportListView* orderList() const { return m_orderList; }
    QPushButton* fetchButton() const { return m_fetchButton; }
    TextBox* searchBox() const { return m_txtSok; }

signals:
    // The lines of the chosen order as it was printed, in their order.
    void linesFetched(const QList<core::OrderLine>& lines);

public slots:
    void fetchChosenOrder();

private:
    explicit FrmGetInfo(datafiles::DataDirectory data);
    void setupControls();
    void Form_Load(core::OrderHistory history, core::StatusLog status);
    void txtSok_Change();

    datafiles::DataDirectory m_data;
    core::OrderHistory m_history;
    core::StatusLog m_status;
    ReportListView* m_orderList = nullptr;
    QPushButton* m_fetchButton = nullptr;
    TextBox* m_txtSok = nullptr;
};
