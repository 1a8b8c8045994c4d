#include "filedialog.h"

#include <QFileDialog>

namespace {

FileDialog::Answers* activeAnswers = nullptr;

QString answered(FileDialog::Kind kind, const QString& caption, const QString& proposed)
{
    activeAnswers->asked.append({ kind, caption, proposed });
    return activeAnswers->answers.isEmpty() ? QString() : activeAnswers->answers.takeFirst();
}

} // namespace

FileDialog::Answers::Answers(QStringList answers)
    : answers(std::move(answers))
{
    Q_ASSERT(!activeAnswers);
    activeAnswers = this;
}

FileDialog::Answers::~Answers()
{
    activeAnswers = nullptr;
}

QString FileDialog::saveFile(QWidget* parent, const QString& caption, const QString& proposed, const QString& filter)
{
    if (activeAnswers)
        return answered(Kind::SaveFile, caption, proposed);
    return QFileDialog::getSaveFileName(parent, caption, proposed, filter);
}

QString FileDialog::openFile(QWidget* parent, const QString& caption, const QString& folder, const QString& filter)
{
    if (activeAnswers)
        return answered(Kind::OpenFile, caption, folder);
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString FileDialog::folder(QWidget* parent, const QString& caption, const QString& folder)
{
    if (activeAnswers)
        return answered(Kind::Folder, caption, folder);
    return QFileDialog::getExistingDirectory(parent, caption, folder);
}
