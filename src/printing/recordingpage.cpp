#include "recordingpage.h"

#include <QFontMetricsF>

namespace printing {

RecordingPage::RecordingPage(QList<PageStep>& steps, double printableWidth, double printableHeight)
    : m_steps(steps)
    , m_width(printableWidth)
    , m_height(printableHeight)
    , m_metrics(1, 1, QImage::Format_RGB32)
{
    const int dotsPerMetre = qRound(1200 / 0.0254);
    m_metrics.setDotsPerMeterX(dotsPerMetre);
    m_metrics.setDotsPerMeterY(dotsPerMetre);
}

RecordingPage::~RecordingPage() = default;

PageStep RecordingPage::step(PageStep::Kind kind) const
{
    PageStep s;
    s.kind = kind;
    s.x = currentX();
    s.y = currentY();
    s.fontSize = fontSize();
    s.bold = bold();
    s.page = pageNumber();
    return s;
}

void RecordingPage::drawText(double x, double y, double, const QFont& font, const QString& text)
{
    PageStep s = step(PageStep::Kind::Text);
    s.x = x;
    s.y = y;
    s.text = text;
    QString ink = text;
    while (!ink.isEmpty() && ink.back().isSpace())
        ink.chop(1);
    const QFontMetricsF metrics(font, &m_metrics);
    s.textSize = QSizeF(toCentimetres(metrics.horizontalAdvance(ink)), toCentimetres(metrics.lineSpacing()));
    m_steps.append(s);
}

void RecordingPage::drawImageAt(double x, double y, const QImage& image, const QString& file)
{
    PageStep s = step(PageStep::Kind::Image);
    s.x = x;
    s.y = y;
    s.text = file;
    s.imageSize = imageSizeCentimetres(image);
    m_steps.append(s);
}

void RecordingPage::startNewPage()
{
    m_steps.append(step(PageStep::Kind::NewPage));
}

bool RecordingPage::finishDocument()
{
    m_steps.append(step(PageStep::Kind::End));
    return true;
}

} // namespace printing
