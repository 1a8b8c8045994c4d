// The wording of the payment-terms, delivery and freight codes that the printed
// order shows.

#include "frmmain.h"

void FrmMain::recomputeCodeTexts()
{
}
