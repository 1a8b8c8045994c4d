#pragma once

#include "printing/page.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <memory>

namespace printing {

// A page drawn with QPainter on a printer or a PDF writer. The device's page
// layout decides the printable area; the painter's origin is its top-left.
class PaintedPage : public Page
{
public:
    // `name` is what a failure of the device names: the printer's name when
    // the device is a printer, otherwise the file's.
    PaintedPage(std::unique_ptr<QPagedPaintDevice> device, QString name);
    ~PaintedPage() override;

    double printableWidth() const override;
    double printableHeight() const override;

protected:
    const QPaintDevice& metricsDevice() const override { return *m_device; }
    bool startDocument() override;
    void drawText(double x, double y, double ascent, const QFont& font, const QString& text) override;
    void drawImageAt(double x, double y, const QImage& image, const QString& file) override;
    void startNewPage() override;
    bool finishDocument() override;

private:
    QPointF toDevice(double x, double y) const;
    void failDevice(const QString& reason);

    std::unique_ptr<QPagedPaintDevice> m_device;
    QString m_name;
    QPainter m_painter;
};

} // namespace printing
