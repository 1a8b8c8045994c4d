#include "filechooser.h"

#include <QFileDialog>

namespace {

FileChooser::Answers* activeAnswers = nullptr;

} // namespace

FileChooser::Answers::Answers()
{
    Q_ASSERT(!activeAnswers);
    activeAnswers = this;
}

FileChooser::Answers::~Answers()
{
    activeAnswers = nullptr;
}

QString FileChooser::fileToOpen(QWidget* parent, const QString& caption, const QString& filter)
{
    if (activeAnswers)
        return activeAnswers->paths.isEmpty() ? QString() : activeAnswers->paths.takeFirst();
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

QString FileChooser::fileToSave(QWidget* parent, const QString& caption, const QString& suggested,
                                const QString& filter)
{
    if (activeAnswers)
        return activeAnswers->paths.isEmpty() ? QString() : activeAnswers->paths.takeFirst();
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}
