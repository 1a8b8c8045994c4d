#include "printjob.h"

#include "datafiles/datadirectory.h"
#include "datafiles/textfile.h"
#include "order/crashpoint.h"
#include "order/order.h"
#include "order/registration.h"
#include "printing/orderdocument.h"
#include "printing/output/destinations.h"
#include "printing/page.h"

#include <QSaveFile>

#include <cerrno>

namespace printjob {
namespace {

using datafiles::Failure;

const QString printOperation = QStringLiteral("skriva ut ordern");
const QString copyOperation = QStringLiteral("spara orderns PDF-kopia");

PrintOutcome failed(const Failure& failure)
{
    return { failure, {}, {} };
}

} // namespace

QString jobName(const QString& orderNumber)
{
    return QStringLiteral("Order %1").arg(orderNumber);
}

PrintOutcome printOrder(const core::Order& order, const QList<printing::TableColumn>& columns,
                        const core::CodeWording& wording, const datafiles::DataDirectory& data)
{
    const QString orderNumber = order.text(core::Order::OrderNumber);
    const std::optional<QString> pdfPath = data.pdfCopyFile(orderNumber);
    if (!pdfPath)
        return failed(Failure { printOperation, {}, datafiles::noFileNamed(orderNumber) });
    const QString job = jobName(orderNumber);
    const printing::Destinations destinations = printing::Destinations::current();
    core::crashPoint(core::CrashPoint::Print);

    // The copy is drawn and committed before anything reaches the printer: a
    // missing image or a full disk stops the command while the paper is still
    // in the tray, and an order that went out on paper always has its copy.
    // A link in the copy's place is refused, before and after the copy is
    // opened: QSaveFile would replace the link's target.
    if (std::optional<Failure> refused = datafiles::refuseLink(*pdfPath))
        return failed(refused->during(copyOperation));
    QSaveFile pdf(*pdfPath);
    errno = 0;
    if (!pdf.open(QIODevice::WriteOnly))
        return failed(Failure { copyOperation, *pdfPath, datafiles::failureReason(errno, pdf.errorString()) });
    if (std::optional<Failure> refused = datafiles::refuseLink(*pdfPath)) {
        pdf.cancelWriting();
        return failed(refused->during(copyOperation));
    }
    {
        const std::unique_ptr<printing::Page> page = destinations.pdfCopy(pdf, job);
        if (!printing::printOrderDocument(*page, order, columns, wording, data))
            return failed(page->failure()->during(printOperation));
    }
    // A full disk shows only when the last bytes are flushed; commit() alone
    // would put an incomplete copy in place of the old one.
    errno = 0;
    if (!pdf.flush() || !pdf.commit())
        return failed(Failure { copyOperation, *pdfPath, datafiles::failureReason(errno, pdf.errorString()) });
    if (std::optional<Failure> failure = datafiles::syncFolder(data.orderFolder()))
        return failed(Failure { copyOperation, *pdfPath, failure->reason });
    core::crashPoint(core::CrashPoint::PdfCopy);

    // Once the paper may be out, the order's number must not be handed out
    // again: the registration's journal is on the disk before the paper goes.
    const core::BegunRegistration registration = core::beginRegistration(data, order);
    if (registration.failure)
        return failed(*registration.failure);

    if (destinations.printer) {
        const std::unique_ptr<printing::Page> page = destinations.printer(job);
        if (!printing::printOrderDocument(*page, order, columns, wording, data)) {
            core::abandonRegistration(data);
            return failed(page->failure()->during(printOperation));
        }
    }
    core::crashPoint(core::CrashPoint::Paper);

    if (std::optional<Failure> failure = core::completeRegistration(data, registration.plan))
        return { failure, {}, registration.setAside };
    return { std::nullopt, core::confirmationText(order, destinations.printer ? QString() : *pdfPath),
             registration.setAside };
}

} // namespace printjob
