#include "accessible.h"

#include <QLabel>

namespace accessible {

void label(QLabel* caption, QWidget* control, const QString& description)
{
    QString words = caption->text().remove(QLatin1Char('&')).trimmed();
    if (words.endsWith(QLatin1Char(':')))
        words.chop(1);
    name(control, words, description, caption);
}

void name(QWidget* control, const QString& name, const QString& description, QLabel* caption)
{
    control->setAccessibleName(name);
    if (!description.isEmpty())
        control->setAccessibleDescription(description);
    if (caption)
        caption->setBuddy(control);
}

} // namespace accessible
