#include "messagebox.h"

#include "order/failure.h"

#include <QDir>
#include <QMessageBox>

namespace {
MessageBox::Recorder* activeRecorder = nullptr;
}

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

void MessageBox::showErrorBox(QWidget* parent, const QString& errorCode)
{
    show(parent, Icon::Critical, QStringLiteral("Felmeddelande"),
         QStringLiteral("Det blev något fel\r\nError: ") + errorCode);
}

void MessageBox::reportFailure(QWidget* parent, const QString& operation, const QString& file, const QString& reason)
{
    QString text = QStringLiteral("Det gick inte att %1.").arg(operation);
    if (!file.isEmpty())
        text += QStringLiteral("\r\n\r\nFil: ") + QDir::toNativeSeparators(file);
    if (!reason.isEmpty())
        text += QStringLiteral("\r\nOrsak: ") + reason;
    show(parent, Icon::Critical, programTitle, text);
}

void MessageBox::reportFailure(QWidget* parent, const core::Failure& failure)
{
    reportFailure(parent, failure.operation, failure.file, failure.reason);
}
