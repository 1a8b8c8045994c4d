#pragma once

#include "datafiles/datadirectory.h"

#include <QWidget>

class QPushButton;
class QRadioButton;

// "Exportera": the product register, the customers or the order list written
// to a file a Swedish spreadsheet opens as it is.
class FrmRegisterExport : public QWidget
{
    Q_OBJECT

public:
    static FrmRegisterExport* open(const datafiles::DataDirectory& data);

    QRadioButton* optKunder() const { return m_optKunder; }
    QRadioButton* optOrderlista() const { return m_optOrderlista; }

public slots:
    void cmdExportera_Click();
    void cmdStang_Click();

private:
    explicit FrmRegisterExport(datafiles::DataDirectory data);

    datafiles::DataDirectory m_data;
    QRadioButton* m_optProdukter = nullptr;
    QRadioButton* m_optKunder = nullptr;
    QRadioButton* m_optOrderlista = nullptr;
    QPushButton* m_cmdExportera = nullptr;
    QPushButton* m_cmdStang = nullptr;
};
