#include "reprint.h"

#include "datafiles/textfile.h"

#include <cups/cups.h>

namespace printing {

ReprintOutcome reprintPdf(const QString& pdfFile, const QString& jobName)
{
    ReprintOutcome outcome;
    const QString operation = QStringLiteral("skriva ut ordern igen");
    // The copy is read as every file of the data folder is, never through a
    // link, and the printer is sent those bytes rather than the file's name.
    const datafiles::ReadResult pdf = datafiles::readWholeFile(pdfFile);
    if (!pdf.ok()) {
        outcome.failure = pdf.missing ? datafiles::Failure { operation,
                                                             pdfFile,
                                                             QStringLiteral("PDF-kopian finns inte"),
                                                             {},
                                                             datafiles::FailureKind::NotFound }
                                      : pdf.failure->during(operation);
        return outcome;
    }

    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests(&dests);
    const cups_dest_t* printer = cupsGetDest(nullptr, nullptr, count, dests);
    if (!printer) {
        cupsFreeDests(count, dests);
        outcome.noPrinter = true;
        return outcome;
    }
    outcome.printer = QString::fromLocal8Bit(printer->name);
    const QByteArray title = jobName.toUtf8();
    outcome.job = cupsCreateJob(CUPS_HTTP_DEFAULT, printer->name, title.constData(), 0, nullptr);
    QString refused;
    if (outcome.job != 0) {
        const bool started
            = cupsStartDocument(CUPS_HTTP_DEFAULT, printer->name, outcome.job, title.constData(), CUPS_FORMAT_PDF, 1)
            == HTTP_STATUS_CONTINUE;
        const bool written = started
            && cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.bytes.constData(), size_t(pdf.bytes.size()))
                == HTTP_STATUS_CONTINUE;
        const bool finished = started && cupsFinishDocument(CUPS_HTTP_DEFAULT, printer->name) == IPP_STATUS_OK;
        if (!written || !finished) {
            refused = QString::fromUtf8(cupsLastErrorString());
            cupsCancelJob2(CUPS_HTTP_DEFAULT, printer->name, outcome.job, 0);
            outcome.job = 0;
        }
    } else {
        refused = QString::fromUtf8(cupsLastErrorString());
    }
    cupsFreeDests(count, dests);
    if (outcome.job == 0)
        outcome.failure = datafiles::Failure {
            operation, pdfFile, QStringLiteral("skrivaren %1 tog inte emot den (%2)").arg(outcome.printer, refused)
        };
    return outcome;
}

} // namespace printing
