#include "messagebox.h"

#include "datafiles/failure.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>

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

bool MessageBox::ask(QWidget* parent, const QString& title, const QString& text)
{
    const QString shownTitle = title.isEmpty() ? programTitle : title;
    if (activeRecorder) {
        activeRecorder->shown.append({ Icon::None, shownTitle, text });
        return activeRecorder->answers.isEmpty() || activeRecorder->answers.takeFirst();
    }
    QString shownText = text;
    shownText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Question, shownTitle, shownText, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Nej"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void MessageBox::showErrorBox(QWidget* parent, const QString& errorCode)
{
    show(parent, Icon::Critical, QStringLiteral("Felmeddelande"),
         QStringLiteral("Det blev något fel\r\nError: ") + errorCode);
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
