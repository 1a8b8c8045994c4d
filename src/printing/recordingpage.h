#pragma once

#include "page.h"

#include <QList>

namespace printing {

// One visible step of a document, with the state it was drawn in.
struct PageStep
{
    enum class Kind { Text, Image, NewPage, End };

    Kind kind = Kind::Text;
    double x = 0; // cm; for an image its top-left corner
    double y = 0;
    double fontSize = 0;
    bool bold = false;
    QString text; // the text, or the image's file
    QSizeF imageSize; // cm
    // cm: how far a text reaches across (its blanks at the end draw nothing)
    // and down (its line)
    QSizeF textSize;
    int page = 0; // page of the document, from 1
};

// A page that draws nothing and writes down every step, for the tests. It
// measures its fonts as a printer at 1200 dots per inch does.
class RecordingPage : public Page
{
public:
    explicit RecordingPage(QList<PageStep>& steps, double printableWidth = 20.0, double printableHeight = 28.7);
    ~RecordingPage() override;

    double printableWidth() const override { return m_width; }
    double printableHeight() const override { return m_height; }

protected:
    const QPaintDevice& metricsDevice() const override { return m_metrics; }
    bool startDocument() override { return true; }
    void drawText(double x, double y, double ascent, const QFont& font, const QString& text) override;
    void drawImageAt(double x, double y, const QImage& image, const QString& file) override;
    void startNewPage() override;
    bool finishDocument() override;

private:
    PageStep step(PageStep::Kind kind) const;

    QList<PageStep>& m_steps;
    double m_width;
    double m_height;
    QImage m_metrics;
};

} // namespace printing
