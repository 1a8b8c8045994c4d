#include "printjob.h"

#include "datafiles/datadirectory.h"
#include "datafiles/textfile.h"
#include "order/crashpoint.h"
#include "order/order.h"
#include "order/registration.h"
#include "order/totals.h"
#include "printing/orderdocument.h"
#include "printing/output/destinations.h"
#include "printing/page.h"

#include <QDir>
#include <QSaveFile>

#include <functional>

namespace printjob {
namespace {

using datafiles::Failure;

const QString printOperation = QStringLiteral("skriva ut ordern");
const QString copyOperation = QStringLiteral("spara orderns PDF-kopia");

PrintOutcome failed(const Failure& failure)
{
    return { failure, {}, {} };
}

// Draws a document into its kept PDF copy and puts the copy in place durably:
// a missing image or a full disk stops the command before anything reaches the
// printer, and leaves the copy from before as it was.
std::optional<Failure> keepCopy(const printing::Destinations& destinations, const QString& path, const QString& job,
                                const QString& operation, const QString& copyOperation,
                                const std::function<bool(printing::Page&)>& draw)
{
    std::optional<Failure> drawFailure;
    std::optional<Failure> failure = datafiles::replaceFileWith(path, [&](QSaveFile& pdf) {
        const std::unique_ptr<printing::Page> page = destinations.pdfCopy(pdf, job);
        if (draw(*page))
            return true;
        drawFailure = page->failure()->during(operation);
        return false;
    });
    if (drawFailure)
        return drawFailure;
    if (failure)
        return failure->during(copyOperation);
    return std::nullopt;
}

} // namespace

QString jobName(const QString& orderNumber)
{
    return QStringLiteral("Order %1").arg(orderNumber);
}

PrintOutcome printOrder(const core::Order& order, const QList<printing::TableColumn>& columns,
                        const core::CodeWording& wording, const datafiles::DataDirectory& data)
{
    if (std::optional<Failure> refusal = core::refusalForUnknownVat(order, printOperation))
        return failed(*refusal);
    const QString orderNumber = order.text(core::Order::OrderNumber);
    const std::optional<QString> pdfPath = data.pdfCopyFile(orderNumber);
    if (!pdfPath)
        return failed(datafiles::refusedByRule(printOperation, {}, datafiles::noFileNamed(orderNumber)));
    const QString job = jobName(orderNumber);
    const printing::Destinations destinations = printing::Destinations::current();
    core::crashPoint(core::CrashPoint::Print);

    // The copy is drawn and committed before anything reaches the printer, so
    // an order that went out on paper always has its copy.
    if (std::optional<Failure> failure
        = keepCopy(destinations, *pdfPath, job, printOperation, copyOperation, [&](printing::Page& page) {
              return printing::printOrderDocument(page, order, columns, wording, data);
          }))
        return failed(*failure);
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
    return { std::nullopt, core::confirmationOf(order, destinations.printer ? QString() : *pdfPath),
             registration.setAside };
}

DeliveryNoteOutcome printDeliveryNote(const core::Order& order, const QList<printing::TableColumn>& columns,
                                      const core::CodeWording& wording, const datafiles::DataDirectory& data)
{
    const QString operation = QStringLiteral("skriva ut följesedeln");
    const QString orderNumber = order.text(core::Order::OrderNumber);
    const std::optional<QString> path = data.deliveryNoteFile(orderNumber);
    if (!path)
        return { datafiles::refusedByRule(operation, {}, datafiles::noFileNamed(orderNumber)), {}, false, {} };
    const QString job = QStringLiteral("Följesedel %1").arg(orderNumber);
    const printing::Destinations destinations = printing::Destinations::current();
    const auto draw = [&](printing::Page& page) {
        return printing::printOrderDocument(page, order, columns, wording, data, printing::OrderDocument::DeliveryNote);
    };
    if (std::optional<Failure> failure
        = keepCopy(destinations, *path, job, operation, QStringLiteral("spara följesedelns PDF-kopia"), draw))
        return { failure, {}, false, {} };
    DeliveryNoteOutcome outcome { std::nullopt, *path, false, {} };
    if (destinations.printer) {
        const std::unique_ptr<printing::Page> page = destinations.printer(job);
        if (!draw(*page)) {
            outcome.failure = page->failure()->during(operation);
            return outcome;
        }
        outcome.printed = true;
    }
    outcome.confirmation = (outcome.printed ? QStringLiteral("Följesedeln för order %1 har skickats till skrivaren.")
                                            : QStringLiteral("Det finns ingen skrivare att skriva ut på."))
                               .arg(orderNumber)
        + QStringLiteral("\r\n\r\nPDF-kopian av följesedeln finns i\r\n") + QDir::toNativeSeparators(*path);
    return outcome;
}

} // namespace printjob
