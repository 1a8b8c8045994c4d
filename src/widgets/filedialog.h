#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QFileDialog;
class QWidget;

// Every file and folder the operator chooses in a dialog goes through here.
// The dialog is Qt's own, not the desktop's, so that it speaks the program's
// Swedish whatever language the desktop has. Tests install Answers, which
// answer in the dialogs' stead.
class FileDialog
{
public:
    enum class Kind { SaveFile, OpenFile, Folder };

    struct Asked
    {
        Kind kind;
        QString caption;
        QString proposed; // the file or folder the dialog opened on
    };

    class Answers
    {
    public:
        explicit Answers(QStringList answers);
        ~Answers();
        Answers(const Answers&) = delete;
        Answers& operator=(const Answers&) = delete;

        QList<Asked> asked;
        // Given in turn; an empty answer, or none left, is a dialog cancelled.
        QStringList answers;
    };

    // For the tests of how a dialog looks: while one lives, each dialog is
    // shown as the operator would see it, handed to `look`, and then closed
    // as cancelled.
    class Looks
    {
    public:
        explicit Looks(std::function<void(QFileDialog&)> look);
        ~Looks();
        Looks(const Looks&) = delete;
        Looks& operator=(const Looks&) = delete;

        std::function<void(QFileDialog&)> look;
    };

    // The chosen path; empty when the operator cancelled.
    static QString saveFile(QWidget* parent, const QString& caption, const QString& proposed, const QString& filter);
    static QString openFile(QWidget* parent, const QString& caption, const QString& folder, const QString& filter);
    static QString folder(QWidget* parent, const QString& caption, const QString& folder);
};
