// The print command: the order document on paper, then the order archive.

#include "orderwindow/frmmain.h"

void FrmMain::mnuPrint_Click()
{
}
