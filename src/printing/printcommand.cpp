// The print command: the order document on paper and as a kept PDF copy,
// then the order archive.

#include "destinations.h"
#include "orderarchive.h"
#include "orderdocument.h"
#include "page.h"

#include "datafiles/textfile.h"
#include "orderwindow/frmmain.h"
#include "orderwindow/textbox.h"
#include "retrieval/messagebox.h"

#include <QSaveFile>

#include <cerrno>

namespace {

void reportPrintFailure(FrmMain& window, const printing::PageFailure& failure)
{
    MessageBox::reportFailure(&window, QStringLiteral("skriva ut ordern"), failure.file, failure.reason);
}

} // namespace

void FrmMain::mnuPrint_Click()
{
    using namespace printing;

    const QString orderNumber = txt_OrderNr()->text();
    if (!datafiles::DataDirectory::namesFileInside(orderNumber)) {
        MessageBox::reportFailure(
            this, QStringLiteral("skriva ut ordern"), {},
            QStringLiteral("ordernumret \"%1\" kan inte vara en del av ett filnamn").arg(orderNumber));
        return;
    }
    const QString pdfPath = dataDirectory().orderFolder() + QLatin1Char('/') + orderNumber + QStringLiteral(".pdf");
    const QString jobName = QStringLiteral("Order %1").arg(orderNumber);
    const Destinations destinations = Destinations::current();

    // The copy is drawn first and kept only once the paper has gone out, so a
    // missing image stops the command before anything reaches the printer.
    QSaveFile pdf(pdfPath);
    errno = 0;
    if (!pdf.open(QIODevice::WriteOnly)) {
        MessageBox::reportFailure(this, QStringLiteral("spara orderns PDF-kopia"), pdfPath,
                                  datafiles::failureReason(errno, pdf.errorString()));
        return;
    }
    {
        const std::unique_ptr<Page> page = destinations.pdfCopy(pdf, jobName);
        if (!printOrderDocument(*this, *page)) {
            reportPrintFailure(*this, page->failure());
            return;
        }
    }
    if (destinations.printer) {
        const std::unique_ptr<Page> page = destinations.printer(jobName);
        if (!printOrderDocument(*this, *page)) {
            reportPrintFailure(*this, page->failure());
            return;
        }
    }
    // A full disk shows only when the last bytes are flushed; commit() alone
    // would put an incomplete copy in place of the old one.
    errno = 0;
    if (!pdf.flush() || !pdf.commit()) {
        MessageBox::reportFailure(this, QStringLiteral("spara orderns PDF-kopia"), pdfPath,
                                  datafiles::failureReason(errno, pdf.errorString()));
        return;
    }

    if (!archiveOrder(*this))
        return;
    MessageBox::show(this, MessageBox::Icon::Information, QStringLiteral("Utskrift pågår..."),
                     confirmationText(*this, destinations.printer ? QString() : pdfPath));
}
