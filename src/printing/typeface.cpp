#include "typeface.h"

#include <QStringList>

namespace printing {

QFont timesNewRoman(qreal pointSize)
{
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                                   { QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif") });
        return true;
    }();
    Q_UNUSED(substituted);
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace printing
