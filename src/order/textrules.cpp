#include "textrules.h"

namespace core {

bool isRefusedControl(QChar c, Tab tab)
{
    if (c == u'\t')
        return tab == Tab::Refused;
    return c.category() == QChar::Other_Control;
}

QString controlCharacterProblem(QStringView text, Tab tab)
{
    for (QChar c : text) {
        if (!isRefusedControl(c, tab))
            continue;
        if (c == u'\t')
            return QStringLiteral("texten innehåller ett tabbtecken, som fältet inte kan ha");
        return QStringLiteral("texten innehåller ett styrtecken (tecken nummer %1), som inte kan sparas")
            .arg(c.unicode());
    }
    return {};
}

} // namespace core
