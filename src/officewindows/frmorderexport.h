#pragma once

#include "datafiles/datadirectory.h"

#include <QDate>
#include <QWidget>

class QCheckBox;
class QDateEdit;
class QPushButton;
class QRadioButton;

// "Exportera order": the printed orders of a period as a CSV file for the
// accountant or a spreadsheet, one row an order or one row an order line,
// voided orders left out unless "Ta med makulerade" is ticked.
// The period is this month until the operator changes it; Enter is
// "Exportera…", which asks for the file's name.
class FrmOrderExport : public QWidget
{
    Q_OBJECT

public:
    static FrmOrderExport* open(const datafiles::DataDirectory& data, const QDate& today);

public slots:
    void cmdExportera_Click();
    void cmdStang_Click();

private:
    FrmOrderExport(datafiles::DataDirectory data, const QDate& today);
    void setupControls(const QDate& today);

    datafiles::DataDirectory m_data;
    QDateEdit* m_dtpFran = nullptr;
    QDateEdit* m_dtpTill = nullptr;
    QRadioButton* m_optPerOrder = nullptr;
    QRadioButton* m_optPerRad = nullptr;
    QCheckBox* m_chkMakulerade = nullptr;
    QPushButton* m_cmdExportera = nullptr;
    QPushButton* m_cmdStang = nullptr;
};
