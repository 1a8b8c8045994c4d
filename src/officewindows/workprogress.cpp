#include "workprogress.h"

#include "widgets/messagebox.h"

WorkProgress::WorkProgress(QWidget* parent, const QString& text)
    : m_dialog(text, QStringLiteral("Avbryt"), 0, 1000, parent)
{
    m_dialog.setObjectName(QStringLiteral("frmForlopp"));
    m_dialog.setWindowTitle(programTitle);
    m_dialog.setWindowModality(Qt::ApplicationModal);
    m_dialog.setMinimumDuration(500);
    m_dialog.setAutoClose(false);
    m_dialog.setAutoReset(false);
    m_dialog.setValue(0);
}

office::Progress WorkProgress::progress()
{
    return [this](qint64 done, qint64 total) {
        const int perMille = total > 0 ? int(qBound(qint64(0), done * 1000 / total, qint64(1000))) : 0;
        if (perMille != m_dialog.value())
            m_dialog.setValue(perMille);
        return !m_dialog.wasCanceled();
    };
}
