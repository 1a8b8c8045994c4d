#pragma once

#include "datafiles/datadirectory.h"
#include "order/order.h"

#include <QList>
#include <QWidget>

class QPushButton;
class ReportListView;

// The printed orders, as the order list records them; "Hämta" hands back the
// lines of the chosen order, for the order window to add after the lines it
// already has. It reads files only and writes none.
class FrmGetInfo : public QWidget
{
    Q_OBJECT

public:
    // Builds the window, hidden, listing the order list; nullptr when the order
    // list is there but could not be read, after telling the operator why (in
    // a box over `parent`).
    static FrmGetInfo* open(const datafiles::DataDirectory& data, QWidget* parent = nullptr);

    ReportListView* orderList() const { return m_orderList; }
    QPushButton* fetchButton() const { return m_fetchButton; }

signals:
    // The lines of the chosen order's basket file, in their order.
    void linesFetched(const QList<core::OrderLine>& lines);

public slots:
    void fetchChosenOrder();

private:
    explicit FrmGetInfo(datafiles::DataDirectory data);
    void setupControls();
    void Form_Load(const QList<QStringList>& rows);

    datafiles::DataDirectory m_data;
    ReportListView* m_orderList = nullptr;
    QPushButton* m_fetchButton = nullptr;
};
