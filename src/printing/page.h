#pragma once

#include "datafiles/failure.h"

#include <QFont>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>

class QPaintDevice;

namespace printing {

// One document being drawn, in centimetres from the top-left corner of the
// printable area. A text's line cell has its top-left corner at the print
// position; a line end moves to x = 0 and one line of the current font down.
// The first drawing step starts the document, endDocument() sends it as one
// job; ending a document that is not open sends nothing.
//
// The positions, fonts and line ends are kept here so that the printer and
// the recorder the tests use move exactly alike.
class Page
{
public:
    Page();
    virtual ~Page();
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    virtual double printableWidth() const = 0;
    virtual double printableHeight() const = 0;

    void setCurrentX(double x)
    {
        m_x = x;
        m_textBeforeX.reset();
    }
    void setCurrentY(double y) { m_y = y; }
    // y first, then x, as every item of the order document is placed.
    void setPosition(double x, double y);
    double currentX() const;
    double currentY() const { return m_y; }

    void setFontSize(double points)
    {
        settleX();
        m_font.setPointSizeF(points);
    }
    void setBold(bool bold)
    {
        settleX();
        m_font.setBold(bold);
    }
    double fontSize() const { return m_font.pointSizeF(); }
    bool bold() const { return m_font.bold(); }
    // The distance one line end moves down in the current font.
    double lineHeight() const;

    // The text as lines that each end within `width` centimetres in the
    // current font (trailing blanks draw nothing and do not count): the text
    // itself when it fits; otherwise broken between words, or inside a word
    // too long for a line, onto at most `maxLines` lines, the last cut short
    // with "…" where the text goes on. Always at least one line.
    QStringList linesWithin(const QString& text, double width, int maxLines) const;

    // Prints the text and then a line end.
    void print(const QString& text);
    // Prints the text; the position stays on the line, just after the text.
    void printWithoutLineEnd(const QString& text);
    void lineEnd();
    // Draws the image file with its top-left corner at (x, y) in its own size,
    // 96 of its pixels to the inch. False when the file cannot be read.
    bool drawImage(double x, double y, const QString& file);
    void newPage();
    // Sends the document; false when it could not be sent (see failure()).
    bool endDocument();

    // The page of the open document being drawn on, from 1; 0 when none is open.
    int pageNumber() const { return m_pageNumber; }
    // What stopped the document: the file or the printer it concerned and the
    // reason; the operation is the caller's to tell.
    const std::optional<datafiles::Failure>& failure() const { return m_failure; }

protected:
    // The device whose resolution the fonts are measured at.
    virtual const QPaintDevice& metricsDevice() const = 0;
    virtual bool startDocument() = 0;
    virtual void drawText(double x, double y, double ascent, const QFont& font, const QString& text) = 0;
    virtual void drawImageAt(double x, double y, const QImage& image, const QString& file) = 0;
    virtual void startNewPage() = 0;
    virtual bool finishDocument() = 0;

    void fail(const QString& file, const QString& reason);
    void failAtPrinter(const QString& printer, const QString& reason);
    double toCentimetres(double devicePixels) const;

private:
    bool ensureStarted();
    // A text printed without a line end moves the position on by its width,
    // measured only when the position is next needed: nearly every text is
    // placed anew, and measuring is what drawing a text costs most.
    void settleX() const;

    QFont m_font;
    mutable double m_x = 0;
    mutable std::optional<QString> m_textBeforeX;
    double m_y = 0;
    bool m_open = false;
    int m_pageNumber = 0;
    std::optional<datafiles::Failure> m_failure;
};

// The size an image is drawn at, in centimetres: 96 of its pixels to the inch.
QSizeF imageSizeCentimetres(const QImage& image);

} // namespace printing
