#pragma once

#include "datafiles/failure.h"

#include <QString>

#include <optional>

namespace printing {

struct ReprintOutcome
{
    // The system has no printer to send it to.
    bool noPrinter = false;
    // What stopped the printer from taking the file.
    std::optional<datafiles::Failure> failure;
    // The printer that took it, and its number for the job.
    QString printer;
    int job = 0;
};

// Sends a kept PDF copy to the system's default printer as it is, byte for
// byte, as one job under the given name. Nothing is drawn again and nothing is
// registered: the order-number file, the archive and the order list stay as
// they are.
ReprintOutcome reprintPdf(const QString& pdfFile, const QString& jobName);

} // namespace printing
