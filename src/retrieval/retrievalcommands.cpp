// The order window's commands for the error catalogue and the printed orders.

#include "orderwindow/frmmain.h"

void FrmMain::mnuHelp_Varning_Click()
{
}

void FrmMain::mnuHamta_Click()
{
}
