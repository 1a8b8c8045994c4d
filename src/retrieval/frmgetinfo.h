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
    explicit FrmGetInfo(datafiles::DataDirectory data);

    ReportListView* ListView1() const { return m_ListView1; }
    QPushButton* Command1() const { return m_Command1; }

    // Fills the list from the order list. False when the order list is there
    // but could not be read; the operator has been told why (in a box over
    // `parent`).
    bool Form_Load(QWidget* parent = nullptr);

signals:
    // The lines of the chosen order's basket file, in their order.
    void linesFetched(const QList<core::OrderLine>& lines);

public slots:
    void Command1_Click();

private:
    void setupControls();

    datafiles::DataDirectory m_data;
    ReportListView* m_ListView1 = nullptr;
    QPushButton* m_Command1 = nullptr;
};
