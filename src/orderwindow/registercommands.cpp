// The Data menu: the pickers for payment terms, delivery and freight method.

#include "frmmain.h"

void FrmMain::mnuData_Betk_Click()
{
}

void FrmMain::mnuData_Levs_Click()
{
}

void FrmMain::mnuData_Frkts_Click()
{
}
