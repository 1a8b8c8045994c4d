#pragma once

#include "office/progress.h"

#include <QProgressDialog>

// A progress bar with "Avbryt" for long work, over every window of the
// program, so that nothing else changes the data while it runs.
class WorkProgress
{
public:
    WorkProgress(QWidget* parent, const QString& text);

    // Moves the bar on; false once the operator chose "Avbryt".
    office::Progress progress();

private:
    QProgressDialog m_dialog;
};
