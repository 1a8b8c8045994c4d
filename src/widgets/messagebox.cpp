#include "messagebox.h"

#include "datafiles/failure.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

MessageBox::Recorder* activeRecorder = nullptr;

// "Det gick inte att ...", then what it concerned under its label ("Fil",
// "Skrivare") and the reason.
QString failureText(const QString& operation, const QString& label, const QString& concerned, const QString& reason)
{
    QString text = QStringLiteral("Det gick inte att %1.").arg(operation);
    if (!concerned.isEmpty())
        text += QStringLiteral("\r\n\r\n") + label + QStringLiteral(": ") + concerned;
    if (!reason.isEmpty())
        text += QStringLiteral("\r\nOrsak: ") + reason;
    return text;
}

} // namespace

MessageBox::Recorder::Recorder()
{
    Q_ASSERT(!activeRecorder);
    activeRecorder = this;
}

MessageBox::Recorder::~Recorder()
{
    activeRecorder = nullptr;
}

void MessageBox::show(QWidget* parent, Icon icon, const QString& title, const QString& text)
{
    const QString shownTitle = title.isEmpty() ? programTitle : title;
    if (activeRecorder) {
        activeRecorder->shown.append({ icon, shownTitle, text });
        return;
    }
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    if (icon == Icon::Critical)
        boxIcon = QMessageBox::Critical;
    else if (icon == Icon::Information)
        boxIcon = QMessageBox::Information;
    QString shownText = text;
    shownText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(boxIcon, shownTitle, shownText, QMessageBox::Ok, parent);
    box.exec();
}

void MessageBox::showErrorBox(QWidget* parent, const QString& errorCode, const datafiles::Failure& failure)
{
    QString text = QStringLiteral("Det blev något fel\r\nError: ") + errorCode;
    if (!failure.file.isEmpty())
        text += QStringLiteral("\r\n\r\nFil: ") + QDir::toNativeSeparators(failure.file);
    if (!failure.reason.isEmpty())
        text += (failure.file.isEmpty() ? QStringLiteral("\r\n\r\n") : QStringLiteral("\r\n"))
            + QStringLiteral("Orsak: ") + failure.reason;
    show(parent, Icon::Critical, QStringLiteral("Felmeddelande"), text);
}

void MessageBox::reportFailure(QWidget* parent, const QString& operation, const QString& file, const QString& reason)
{
    show(parent, Icon::Critical, programTitle,
         failureText(operation, QStringLiteral("Fil"), QDir::toNativeSeparators(file), reason));
}

void MessageBox::reportFailure(QWidget* parent, const datafiles::Failure& failure)
{
    if (failure.printer.isEmpty())
        reportFailure(parent, failure.operation, failure.file, failure.reason);
    else
        show(parent, Icon::Critical, programTitle,
             failureText(failure.operation, QStringLiteral("Skrivare"), failure.printer, failure.reason));
}

bool MessageBox::ask(QWidget* parent, const QString& title, const QString& text, bool yesByDefault)
{
    return askWith(parent, title, text, { QStringLiteral("&Ja"), QStringLiteral("&Nej") }, yesByDefault, {});
}

bool MessageBox::askToWait(QWidget* parent, const QString& title, const QString& text,
                           const std::function<bool()>& over)
{
    return askWith(parent, title, text, { QStringLiteral("&Vänta"), QStringLiteral("&Avbryt") }, true, over);
}

bool MessageBox::askWith(QWidget* parent, const QString& title, const QString& text, const QStringList& buttons,
                         bool firstByDefault, const std::function<bool()>& over)
{
    const QString shownTitle = title.isEmpty() ? programTitle : title;
    if (activeRecorder) {
        activeRecorder->shown.append({ Icon::Question, shownTitle, text });
        return !activeRecorder->answers.isEmpty() && activeRecorder->answers.takeFirst();
    }
    QString shownText = text;
    shownText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Question, shownTitle, shownText, QMessageBox::NoButton, parent);
    QPushButton* first = box.addButton(buttons.at(0), QMessageBox::YesRole);
    QPushButton* second = box.addButton(buttons.at(1), QMessageBox::NoRole);
    box.setDefaultButton(firstByDefault ? first : second);
    box.setEscapeButton(second);
    QTimer poll;
    if (over) {
        QObject::connect(&poll, &QTimer::timeout, &box, [&] {
            if (over())
                first->click();
        });
        poll.start(100);
    }
    box.exec();
    return box.clickedButton() == first;
}

std::optional<QString> MessageBox::askText(QWidget* parent, const QString& title, const QString& prompt,
                                           const QString& accept, int maxLength)
{
    const QString shownTitle = title.isEmpty() ? programTitle : title;
    if (activeRecorder) {
        activeRecorder->shown.append({ Icon::Question, shownTitle, prompt });
        if (activeRecorder->texts.isEmpty())
            return std::nullopt;
        return activeRecorder->texts.takeFirst();
    }
    QDialog dialog(parent);
    dialog.setWindowTitle(shownTitle);
    auto* layout = new QVBoxLayout(&dialog);
    QString shownPrompt = prompt;
    shownPrompt.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    auto* label = new QLabel(shownPrompt, &dialog);
    label->setTextFormat(Qt::PlainText);
    auto* text = new QLineEdit(&dialog);
    text->setObjectName(QStringLiteral("txtSvar"));
    text->setMaxLength(maxLength);
    text->setMinimumWidth(360);
    label->setBuddy(text);
    text->setAccessibleName(shownPrompt);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* ok = buttons->addButton(accept, QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Avbryt"), QDialogButtonBox::RejectRole);
    ok->setEnabled(false);
    QObject::connect(text, &QLineEdit::textChanged, ok,
                     [ok](const QString& typed) { ok->setEnabled(!typed.trimmed().isEmpty()); });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(label);
    layout->addWidget(text);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return text->text().trimmed();
}
