#include "paintedpage.h"

#include <QPrinter>

namespace printing {

PaintedPage::PaintedPage(std::unique_ptr<QPagedPaintDevice> device, QString name)
    : m_device(std::move(device))
    , m_name(std::move(name))
{
}

PaintedPage::~PaintedPage()
{
    // A document given up part-way must not reach the printer.
    if (m_painter.isActive()) {
        if (auto* printer = dynamic_cast<QPrinter*>(m_device.get()))
            printer->abort();
        m_painter.end();
    }
}

double PaintedPage::printableWidth() const
{
    return m_device->pageLayout().paintRect(QPageLayout::Millimeter).width() / 10.0;
}

double PaintedPage::printableHeight() const
{
    return m_device->pageLayout().paintRect(QPageLayout::Millimeter).height() / 10.0;
}

QPointF PaintedPage::toDevice(double x, double y) const
{
    return QPointF(x / 2.54 * m_device->logicalDpiX(), y / 2.54 * m_device->logicalDpiY());
}

void PaintedPage::failDevice(const QString& reason)
{
    if (dynamic_cast<QPrinter*>(m_device.get()))
        failAtPrinter(m_name, reason);
    else
        fail(m_name, reason);
}

bool PaintedPage::startDocument()
{
    if (!m_painter.begin(m_device.get())) {
        failDevice(QStringLiteral("utskriften kunde inte startas"));
        return false;
    }
    return true;
}

void PaintedPage::drawText(double x, double y, double ascent, const QFont& font, const QString& text)
{
    m_painter.setFont(font);
    m_painter.drawText(toDevice(x, y + ascent), text);
}

void PaintedPage::drawImageAt(double x, double y, const QImage& image, const QString&)
{
    const QSizeF size = imageSizeCentimetres(image);
    const QPointF extent = toDevice(size.width(), size.height());
    m_painter.drawImage(QRectF(toDevice(x, y), QSizeF(extent.x(), extent.y())), image);
}

void PaintedPage::startNewPage()
{
    if (!m_device->newPage())
        failDevice(QStringLiteral("en ny sida kunde inte påbörjas"));
}

bool PaintedPage::finishDocument()
{
    if (!m_painter.end()) {
        failDevice(QStringLiteral("dokumentet kunde inte skickas"));
        return false;
    }
    if (auto* printer = dynamic_cast<QPrinter*>(m_device.get());
        printer && printer->printerState() == QPrinter::Error) {
        failDevice(QStringLiteral("skrivaren rapporterade ett fel"));
        return false;
    }
    return true;
}

} // namespace printing
