// The order lines: the product picker adds them, the context menu removes them.

#include "frmmain.h"

void FrmMain::RemoveSelectedLines()
{
}

void FrmMain::mnuVisa_Produkter_Click()
{
}

void FrmMain::mnuPlus_Click()
{
}

void FrmMain::mnuMinus_Click()
{
}
