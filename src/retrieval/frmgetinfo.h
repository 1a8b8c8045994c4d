#pragma once

#include <QWidget>

class FrmMain;
class QPushButton;
class ReportListView;

// The printed orders, as the order list records them; "Hämta" copies the lines
// of the chosen order into the order window, after the lines it already has.
// It reads files only and writes none.
class FrmGetInfo : public QWidget
{
    Q_OBJECT

public:
    explicit FrmGetInfo(FrmMain& frm);

    ReportListView* ListView1() const { return m_ListView1; }
    QPushButton* Command1() const { return m_Command1; }

    // Fills the list from the order list. False when the order list is there
    // but could not be read; the operator has been told why.
    bool Form_Load();

public slots:
    void Command1_Click();

private:
    void setupControls();

    FrmMain& m_frm;
    ReportListView* m_ListView1 = nullptr;
    QPushButton* m_Command1 = nullptr;
};
