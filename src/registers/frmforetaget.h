#pragma once

#include "datafiles/datadirectory.h"
#include "datafiles/records.h"

#include <QByteArray>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class TextBox;

namespace core {
struct Company;
}

// "Företaget": the business's own details and its logo, as the order form,
// the delivery note, the e-mail, the export and the backup show them.
class FrmForetaget : public QWidget
{
    Q_OBJECT

public:
    // Nullptr when the details could not be read; the operator has been told.
    static FrmForetaget* open(const datafiles::DataDirectory& data, QWidget* parent);

    TextBox* box(const char* objectName) const;
    QCheckBox* chkFskatt() const { return m_chkFskatt; }
    QLabel* lblLogga() const { return m_lblLogga; }

public slots:
    void cmdLogga_Click();
    void cmdSpara_Click();
    void cmdStang_Click();

private:
    FrmForetaget(datafiles::DataDirectory data, QWidget* parent);
    bool readDetails();
    void showCompany(const core::Company& company);
    void showLogo(const QImage& logo);

    datafiles::DataDirectory m_data;
    datafiles::RecordTable m_records; // the file as it was read
    QByteArray m_chosenLogo; // a logo chosen and not yet saved, as PNG
    QList<TextBox*> m_boxes;
    TextBox* m_txtNastaOrderNr = nullptr;
    QCheckBox* m_chkFskatt = nullptr;
    QLabel* m_lblLogga = nullptr;
    QPushButton* m_cmdLogga = nullptr;
    QPushButton* m_cmdSpara = nullptr;
    QPushButton* m_cmdStang = nullptr;
};
