#pragma once

#include "registerwindow.h"

#include "datafiles/datadirectory.h"
#include "datafiles/records.h"
#include "order/registerediting.h"

class ReportModel;

// "Betalningsvillkor", "Leveranssätt" and "Fraktsätt" as registers to keep:
// each lists "ID" and "Beskrivning" in file order and adds, edits and removes
// rows, writing the file the pickers read at once. A new or edited ID is one
// character, as the order's code boxes take; rows already there with a
// longer ID are listed and kept as they are.
class FrmKodregister : public RegisterWindow
{
    Q_OBJECT

public:
    using Register = core::CodeRegister;

    static FrmKodregister* open(const datafiles::DataDirectory& data, Register which, QWidget* parent = nullptr);

    Register which() const { return m_which; }

public slots:
    void cmdNy_Click() override;
    void cmdAndra_Click() override;
    void cmdTaBort_Click() override;

protected:
    Reading readRegister() override;
    Emptied emptied() const override;
    std::optional<datafiles::Failure> emptyRegister() override;
    std::optional<datafiles::Failure> undoEmptying() override;

private:
    FrmKodregister(datafiles::DataDirectory data, Register which);
    void showCodes(datafiles::RecordTable codes);
    void openForm(int row);
    bool save(const QStringList& texts, int row);
    bool listSaved(core::RegisterSaved saved);

    datafiles::DataDirectory m_data;
    Register m_which;
    datafiles::RecordTable m_codes;
    ReportModel* m_codesShown = nullptr;
};
