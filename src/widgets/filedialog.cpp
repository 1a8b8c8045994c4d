#include "filedialog.h"

#include <QFileDialog>

namespace {

FileDialog::Answers* activeAnswers = nullptr;
FileDialog::Looks* activeLooks = nullptr;

QString answered(FileDialog::Kind kind, const QString& caption, const QString& proposed)
{
    activeAnswers->asked.append({ kind, caption, proposed });
    return activeAnswers->answers.isEmpty() ? QString() : activeAnswers->answers.takeFirst();
}

QString chosen(QFileDialog& dialog)
{
    if (activeLooks) {
        dialog.show();
        activeLooks->look(dialog);
        dialog.reject();
        return {};
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
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

FileDialog::Looks::Looks(std::function<void(QFileDialog&)> look)
    : look(std::move(look))
{
    Q_ASSERT(!activeLooks);
    activeLooks = this;
}

FileDialog::Looks::~Looks()
{
    activeLooks = nullptr;
}

QString FileDialog::saveFile(QWidget* parent, const QString& caption, const QString& proposed, const QString& filter)
{
    if (activeAnswers)
        return answered(Kind::SaveFile, caption, proposed);
    QFileDialog dialog(parent, caption, proposed, filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    return chosen(dialog);
}

QString FileDialog::openFile(QWidget* parent, const QString& caption, const QString& folder, const QString& filter)
{
    if (activeAnswers)
        return answered(Kind::OpenFile, caption, folder);
    QFileDialog dialog(parent, caption, folder, filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return chosen(dialog);
}

QString FileDialog::folder(QWidget* parent, const QString& caption, const QString& folder)
{
    if (activeAnswers)
        return answered(Kind::Folder, caption, folder);
    QFileDialog dialog(parent, caption, folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return chosen(dialog);
}
