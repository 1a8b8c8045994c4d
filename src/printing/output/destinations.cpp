#include "destinations.h"

#include "paintedpage.h"

#include <QFileDevice>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include <optional>

namespace printing {
namespace {

std::optional<Destinations> installed;

// The kept copy is an A4 page whose printable area lies 5 mm in from each edge.
QPageLayout pdfPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
}

} // namespace

Destinations::Override::Override(Destinations destinations)
{
    Q_ASSERT(!installed);
    installed = std::move(destinations);
}

Destinations::Override::~Override()
{
    installed.reset();
}

Destinations Destinations::current()
{
    return installed ? *installed : system();
}

Destinations Destinations::system()
{
    Destinations d;
    if (!QPrinterInfo::defaultPrinter().isNull())
        d.printer = &Destinations::defaultPrinterPage;
    d.pdfCopy = &Destinations::pdfPage;
    return d;
}

std::unique_ptr<Page> Destinations::defaultPrinterPage(const QString& jobName)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    // The printer keeps its own paper and margins: the form is laid out from
    // the top-left corner of whatever area the printer can print on. Only the
    // orientation is the form's own. (A new QPrinter starts on A4 whatever the
    // printer holds; given the printer's paper, it takes the printer's margins.)
    printer->setPageSize(info.defaultPageSize());
    printer->setPageOrientation(QPageLayout::Portrait);
    printer->setDocName(jobName);
    return std::make_unique<PaintedPage>(std::move(printer), info.printerName());
}

std::unique_ptr<Page> Destinations::pdfPage(QIODevice& file, const QString& jobName)
{
    auto writer = std::make_unique<QPdfWriter>(&file);
    writer->setResolution(1200);
    writer->setPageLayout(pdfPageLayout());
    writer->setTitle(jobName);
    writer->setCreator(QStringLiteral("Orderregistrering"));
    QString name;
    if (auto* f = qobject_cast<QFileDevice*>(&file))
        name = f->fileName();
    return std::make_unique<PaintedPage>(std::move(writer), name);
}

} // namespace printing
