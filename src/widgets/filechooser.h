#pragma once

#include <QList>
#include <QString>

class QWidget;

// Every file dialog of the program goes through here. Tests install an
// Answers, which gives the next path instead of showing a dialog.
class FileChooser
{
public:
    class Answers
    {
    public:
        Answers();
        ~Answers();
        Answers(const Answers&) = delete;
        Answers& operator=(const Answers&) = delete;

        QList<QString> paths; // given in turn; an empty one is "Avbryt"
    };

    // The file to read; empty when the operator cancelled.
    static QString fileToOpen(QWidget* parent, const QString& caption, const QString& filter);
    // The file to write, `suggested` offered; empty when the operator cancelled.
    static QString fileToSave(QWidget* parent, const QString& caption, const QString& suggested,
                              const QString& filter);
};
