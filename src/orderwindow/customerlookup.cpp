// The customer lookup: Enter in the customer-number box fills the customer
// boxes from the customer's file.

#include "frmmain.h"

void FrmMain::cmdGetCustomerInfo_Click()
{
}
