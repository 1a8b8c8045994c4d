#include "page.h"

#include "typeface.h"

#include "datafiles/textfile.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPaintDevice>

namespace printing {
namespace {

constexpr double centimetresPerInch = 2.54;
constexpr double imagePixelsPerInch = 96.0;

// Why an image could not be read, in the operator's language; the reader's own
// words follow in brackets.
QString imageFailureReason(const QImageReader& reader)
{
    QString reason = QStringLiteral("bilden kan inte läsas");
    switch (reader.error()) {
    case QImageReader::FileNotFoundError:
        reason += QStringLiteral(": bildfilen finns inte");
        break;
    case QImageReader::DeviceError:
        reason += QStringLiteral(": bildfilen kan inte öppnas");
        break;
    case QImageReader::UnsupportedFormatError:
        reason += QStringLiteral(": bildformatet känns inte igen");
        break;
    case QImageReader::InvalidDataError:
        reason += QStringLiteral(": bildfilen är skadad");
        break;
    case QImageReader::UnknownError:
        break;
    }
    const QString readerText = reader.errorString();
    if (!readerText.isEmpty())
        reason += QStringLiteral(" (") + readerText + QLatin1Char(')');
    return reason;
}

// The text without the blanks at its end.
QStringView withoutTrailingBlanks(QStringView text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}

QStringView withoutLeadingBlanks(QStringView text)
{
    qsizetype start = 0;
    while (start < text.size() && text.at(start).isSpace())
        ++start;
    return text.mid(start);
}

} // namespace

Page::Page()
    : m_font(timesNewRoman(14))
{
}

Page::~Page() = default;

void Page::setPosition(double x, double y)
{
    setCurrentY(y);
    setCurrentX(x);
}

double Page::toCentimetres(double devicePixels) const
{
    return devicePixels / metricsDevice().logicalDpiY() * centimetresPerInch;
}

double Page::lineHeight() const
{
    return toCentimetres(QFontMetricsF(m_font, &metricsDevice()).lineSpacing());
}

void Page::fail(const QString& file, const QString& reason)
{
    if (!m_failure)
        m_failure = datafiles::Failure { {}, file, reason };
}

void Page::failAtPrinter(const QString& printer, const QString& reason)
{
    if (!m_failure)
        m_failure = datafiles::Failure { {}, {}, reason, printer };
}

bool Page::ensureStarted()
{
    if (m_failure)
        return false;
    if (m_open)
        return true;
    if (!startDocument()) {
        fail({}, QStringLiteral("utskriften kunde inte startas"));
        return false;
    }
    m_open = true;
    m_pageNumber = 1;
    return true;
}

QStringList Page::linesWithin(const QString& text, double width, int maxLines) const
{
    const QFontMetricsF metrics(m_font, &metricsDevice());
    const double limit = width / centimetresPerInch * metricsDevice().logicalDpiX();
    const auto fits = [&](QStringView part) {
        return metrics.horizontalAdvance(withoutTrailingBlanks(part).toString()) <= limit;
    };
    if (fits(text))
        return { text };

    QStringList lines;
    QStringView rest = withoutLeadingBlanks(text);
    while (lines.size() + 1 < maxLines && !rest.isEmpty()) {
        if (fits(rest))
            break;
        // The most whole words that fit; a first word too long for any line
        // is broken where the line is full.
        qsizetype end = 0;
        for (qsizetype i = 1; i < rest.size(); ++i) {
            if (rest.at(i).isSpace() && !rest.at(i - 1).isSpace()) {
                if (!fits(rest.left(i)))
                    break;
                end = i;
            }
        }
        if (end == 0) {
            while (end < rest.size() && fits(rest.left(end + 1)))
                ++end;
            if (end == 0)
                break;
        }
        lines.append(withoutTrailingBlanks(rest.left(end)).toString());
        rest = withoutLeadingBlanks(rest.mid(end));
    }
    if (rest.isEmpty() && !lines.isEmpty())
        return lines;
    if (fits(rest)) {
        lines.append(rest.toString());
        return lines;
    }
    const QString ellipsis(QChar(0x2026));
    qsizetype kept = 0;
    while (kept < rest.size() && fits(withoutTrailingBlanks(rest.left(kept + 1)).toString() + ellipsis))
        ++kept;
    lines.append(kept == 0 && !fits(ellipsis) ? QString()
                                              : withoutTrailingBlanks(rest.left(kept)).toString() + ellipsis);
    return lines;
}

void Page::print(const QString& text)
{
    printWithoutLineEnd(text);
    lineEnd();
}

void Page::printWithoutLineEnd(const QString& text)
{
    if (!ensureStarted())
        return;
    settleX();
    drawText(m_x, m_y, toCentimetres(QFontMetricsF(m_font, &metricsDevice()).ascent()), m_font, text);
    m_textBeforeX = text;
}

double Page::currentX() const
{
    settleX();
    return m_x;
}

void Page::settleX() const
{
    if (!m_textBeforeX)
        return;
    m_x += QFontMetricsF(m_font, &metricsDevice()).horizontalAdvance(*m_textBeforeX) / metricsDevice().logicalDpiX()
        * centimetresPerInch;
    m_textBeforeX.reset();
}

void Page::lineEnd()
{
    setCurrentX(0);
    m_y += lineHeight();
}

bool Page::drawImage(double x, double y, const QString& file)
{
    if (!ensureStarted())
        return false;
    // Read as every file of the data folder is: never through a link.
    const datafiles::ReadResult bytes = datafiles::readWholeFile(file);
    if (!bytes.ok()) {
        fail(file,
             QStringLiteral("bilden kan inte läsas: %1")
                 .arg(bytes.missing ? QStringLiteral("bildfilen finns inte") : bytes.failure->reason));
        return false;
    }
    QBuffer buffer;
    buffer.setData(bytes.bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QImage image = reader.read();
    if (image.isNull()) {
        fail(file, imageFailureReason(reader));
        return false;
    }
    drawImageAt(x, y, image, file);
    return true;
}

void Page::newPage()
{
    if (!ensureStarted())
        return;
    startNewPage();
    ++m_pageNumber;
    setCurrentX(0);
    m_y = 0;
}

bool Page::endDocument()
{
    if (m_open) {
        if (!finishDocument())
            fail({}, QStringLiteral("dokumentet kunde inte skickas till skrivaren"));
        m_open = false;
        m_pageNumber = 0;
    }
    return !m_failure;
}

QSizeF imageSizeCentimetres(const QImage& image)
{
    return QSizeF(image.width(), image.height()) / imagePixelsPerInch * centimetresPerInch;
}

} // namespace printing
