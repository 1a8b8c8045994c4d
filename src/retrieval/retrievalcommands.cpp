// The order window's commands for the error catalogue and the printed orders.

#include "orderwindow/frmmain.h"
#include "retrieval/frmgetinfo.h"
#include "retrieval/frmvarning.h"

void FrmMain::mnuHelp_Varning_Click()
{
    showSingle(m_frmVarning, [this]() -> QWidget* {
        auto* window = new FrmVarning(m_data);
        window->Form_Load();
        return window;
    });
}

void FrmMain::mnuHamta_Click()
{
    showSingle(m_frmGetInfo, [this]() -> QWidget* {
        auto* window = new FrmGetInfo(*this);
        if (!window->Form_Load()) {
            delete window;
            return nullptr;
        }
        return window;
    });
}
