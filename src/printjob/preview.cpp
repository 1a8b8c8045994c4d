#include "preview.h"

#include "printjob.h"

#include "order/order.h"
#include "order/totals.h"
#include "printing/orderdocument.h"
#include "printing/output/destinations.h"
#include "printing/page.h"

#include <QBuffer>

namespace printjob {

Preview previewOrder(const core::Order& order, const QList<printing::TableColumn>& columns,
                     const core::CodeWording& wording, const datafiles::DataDirectory& data)
{
    const QString operation = QStringLiteral("förhandsgranska ordern");
    Preview preview;
    preview.failure = core::refusalForUnknownVat(order, operation);
    if (preview.failure)
        return preview;
    QBuffer buffer(&preview.pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        const std::unique_ptr<printing::Page> page
            = printing::Destinations::pdfPage(buffer, jobName(order.text(core::Order::OrderNumber)));
        if (!printing::printOrderDocument(*page, order, columns, wording, data)) {
            preview.failure = page->failure()->during(operation);
            preview.pdf.clear();
        }
    }
    return preview;
}

} // namespace printjob
