#include "printcommand.h"

#include "destinations.h"

#include "datafiles/datadirectory.h"
#include "datafiles/textfile.h"
#include "order/basket.h"
#include "order/crashpoint.h"
#include "order/order.h"
#include "order/registration.h"
#include "printing/orderdocument.h"
#include "printing/page.h"

#include <QSaveFile>

#include <cerrno>

namespace printing {
namespace {

const QString printOperation = QStringLiteral("skriva ut ordern");
const QString copyOperation = QStringLiteral("spara orderns PDF-kopia");

core::Failure printFailure(const PageFailure& failure)
{
    return { printOperation, failure.file, failure.reason, failure.printer };
}

} // namespace

QString jobName(const QString& orderNumber)
{
    return QStringLiteral("Order %1").arg(orderNumber);
}

QString pdfCopyFile(const datafiles::DataDirectory& data, const QString& orderNumber)
{
    if (!datafiles::DataDirectory::namesFileInside(orderNumber))
        return {};
    return data.orderFolder() + QLatin1Char('/') + orderNumber + QStringLiteral(".pdf");
}

PrintOutcome printOrder(const core::Order& order, const QList<TableColumn>& columns, const core::CodeWording& wording,
                        const datafiles::DataDirectory& data)
{
    const QString orderNumber = order.text(core::Order::OrderNumber);
    const QString pdfPath = pdfCopyFile(data, orderNumber);
    if (pdfPath.isEmpty())
        return { core::Failure { printOperation, {}, core::noFileNamed(orderNumber) }, {} };
    const QString job = jobName(orderNumber);
    const Destinations destinations = Destinations::current();
    core::crashPoint("print");

    // The copy is drawn and committed before anything reaches the printer: a
    // missing image or a full disk stops the command while the paper is still
    // in the tray, and an order that went out on paper always has its copy.
    QSaveFile pdf(pdfPath);
    errno = 0;
    if (!pdf.open(QIODevice::WriteOnly))
        return { core::Failure { copyOperation, pdfPath, datafiles::failureReason(errno, pdf.errorString()) }, {} };
    {
        const std::unique_ptr<Page> page = destinations.pdfCopy(pdf, job);
        if (!printOrderDocument(*page, order, columns, wording, data))
            return { printFailure(page->failure()), {} };
    }
    // A full disk shows only when the last bytes are flushed; commit() alone
    // would put an incomplete copy in place of the old one.
    errno = 0;
    if (!pdf.flush() || !pdf.commit())
        return { core::Failure { copyOperation, pdfPath, datafiles::failureReason(errno, pdf.errorString()) }, {} };
    if (const QString reason = datafiles::syncFolder(data.orderFolder()); !reason.isEmpty())
        return { core::Failure { copyOperation, pdfPath, reason }, {} };
    core::crashPoint("pdf-copy");

    // Once the paper may be out, the order's number must not be handed out
    // again: the registration's journal is on the disk before the paper goes.
    const core::BegunRegistration registration = core::beginRegistration(data, order);
    if (registration.failure)
        return { registration.failure, {} };

    if (destinations.printer) {
        const std::unique_ptr<Page> page = destinations.printer(job);
        if (!printOrderDocument(*page, order, columns, wording, data)) {
            core::abandonRegistration(data);
            return { printFailure(page->failure()), {} };
        }
    }
    core::crashPoint("paper");

    if (std::optional<core::Failure> failure = core::completeRegistration(data, registration.plan))
        return { failure, {} };
    return { std::nullopt, core::confirmationText(order, destinations.printer ? QString() : pdfPath) };
}

} // namespace printing
