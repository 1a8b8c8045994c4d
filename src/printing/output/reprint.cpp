#include "reprint.h"

#include <QDir>
#include <QFile>

#include <cups/cups.h>

namespace printing {

ReprintOutcome reprintPdf(const QString& pdfFile, const QString& jobName)
{
    ReprintOutcome outcome;
    const QString operation = QStringLiteral("skriva ut ordern igen");
    if (!QFile::exists(pdfFile)) {
        outcome.failure = datafiles::Failure {
            operation, pdfFile, QStringLiteral("PDF-kopian finns inte"), {}, datafiles::FailureKind::NotFound
        };
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
    const QByteArray file = QFile::encodeName(QDir::toNativeSeparators(pdfFile));
    const QByteArray title = jobName.toUtf8();
    outcome.job = cupsPrintFile(printer->name, file.constData(), title.constData(), 0, nullptr);
    cupsFreeDests(count, dests);
    if (outcome.job == 0)
        outcome.failure = datafiles::Failure { operation, pdfFile,
                                               QStringLiteral("skrivaren %1 tog inte emot den (%2)")
                                                   .arg(outcome.printer, QString::fromUtf8(cupsLastErrorString())) };
    return outcome;
}

} // namespace printing
