// The order's totals and VAT, kept current for the printed order.

#include "frmmain.h"

void FrmMain::recomputeAmounts()
{
}
