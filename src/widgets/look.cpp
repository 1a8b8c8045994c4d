#include "look.h"

#include "printing/typeface.h"

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

} // namespace look
