#pragma once

#include "registerwindow.h"

#include "datafiles/datadirectory.h"
#include "datafiles/records.h"
#include "order/registerediting.h"

class ProductRegisterModel;

// "Produktregister": the whole product register, found by the start of the
// article number, as in the picker, or by the beginnings of words of the
// description. "Ny produkt", "Ändra" and "Ta bort" write the register at
// once; every product the change does not touch keeps its bytes.
class FrmProduktregister : public RegisterWindow
{
    Q_OBJECT

public:
    // Builds the window, hidden; nullptr when the register is there but cannot
    // be read, after telling the operator (in a box over `parent`). A register
    // cut short inside a record is listed, and the operator is told that the
    // next change drops the cut record.
    static FrmProduktregister* open(const datafiles::DataDirectory& data, QWidget* parent = nullptr);

    ProductRegisterModel* products() const { return m_model; }

public slots:
    void cmdNy_Click() override;
    void cmdAndra_Click() override;
    void cmdTaBort_Click() override;

protected:
    void txtSok_Change() override;
    Reading readRegister() override;
    Emptied emptied() const override;
    std::optional<datafiles::Failure> emptyRegister() override;
    std::optional<datafiles::Failure> undoEmptying() override;

private:
    explicit FrmProduktregister(datafiles::DataDirectory data);
    void openForm(int product);
    bool save(const QStringList& texts, int product);
    bool listSaved(core::RegisterSaved saved);
    void showCount();

    datafiles::DataDirectory m_data;
    ProductRegisterModel* m_model = nullptr;
};
