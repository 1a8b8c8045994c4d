#include "look.h"

#include "printing/typeface.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace look {

QFont sansSerif(qreal pointSize, bool bold)
{
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   { QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans") });
        return true;
    }();
    Q_UNUSED(substituted);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont timesNewRoman(qreal pointSize)
{
    return printing::timesNewRoman(pointSize);
}

void centreOnScreen(QWidget& window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}

void placeOnScreen(QWidget& window, QSize wanted)
{
    // Leave room for the window's frame and title bar.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        wanted = wanted.boundedTo(screen->availableGeometry().size() - QSize(40, 80));
    window.resize(wanted);
    centreOnScreen(window);
}

} // namespace look
