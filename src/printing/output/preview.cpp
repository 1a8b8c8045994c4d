#include "preview.h"

#include "destinations.h"
#include "printcommand.h"

#include "order/order.h"
#include "printing/orderdocument.h"
#include "printing/page.h"

#include <QBuffer>

namespace printing {

Preview previewOrder(const core::Order& order, const QList<TableColumn>& columns, const core::CodeWording& wording,
                     const datafiles::DataDirectory& data)
{
    Preview preview;
    QBuffer buffer(&preview.pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        const std::unique_ptr<Page> page = Destinations::pdfPage(buffer, jobName(order.text(core::Order::OrderNumber)));
        if (!printOrderDocument(*page, order, columns, wording, data)) {
            preview.failure = core::Failure { QStringLiteral("förhandsgranska ordern"), page->failure().file,
                                              page->failure().reason };
            preview.pdf.clear();
        }
    }
    return preview;
}

} // namespace printing
