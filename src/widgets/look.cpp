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

void placeOnScreen(QWidget& window, QSize wanted)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        window.resize(wanted);
        return;
    }
    // Leave room for the window's frame and title bar. A window of fixed size
    // keeps its size.
    if (window.minimumSize() != window.maximumSize())
        window.resize(wanted.boundedTo(screen->availableGeometry().size() - QSize(40, 80)));
    window.move(screen->availableGeometry().center() - window.rect().center());
}

} // namespace look
