#pragma once

#include <QString>

class FrmMain;

namespace printing {

// Records the printed order: its number as the last one used, the archive
// customer file, the archive order-head file and its line in the order list,
// in that order. A failing step is reported naming its file and ends the
// archive there; the files written before it stay whole. False on failure.
bool archiveOrder(FrmMain& window);

// The text of the box that confirms the printed order. `savedInsteadOfPrinted`
// names the PDF file when there was no printer to send the order to.
QString confirmationText(const FrmMain& window, const QString& savedInsteadOfPrinted = {});

} // namespace printing
