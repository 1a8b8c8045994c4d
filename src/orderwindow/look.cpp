#include "look.h"

namespace look {
namespace {

void registerSubstitutes()
{
    static const bool done = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   { QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans") });
        QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                                   { QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif") });
        return true;
    }();
    Q_UNUSED(done);
}

} // namespace

QFont sansSerif(qreal pointSize, bool bold)
{
    registerSubstitutes();
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont timesNewRoman(qreal pointSize)
{
    registerSubstitutes();
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace look
