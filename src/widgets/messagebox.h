#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

namespace datafiles {
struct Failure;
}

// The program's title, carried by every message box that has no title of its own.
inline const QString programTitle = QStringLiteral("Orderregistrering");

// Every message box of the program goes through here. Tests install a Recorder,
// which takes the boxes down instead of showing them and waiting for OK, and
// gives the answers a test has put in it to the boxes that ask.
class MessageBox
{
public:
    enum class Icon { None, Critical, Information, Question };

    struct Shown
    {
        Icon icon = Icon::None;
        QString title;
        QString text;
    };

    class Recorder
    {
    public:
        Recorder();
        ~Recorder();
        Recorder(const Recorder&) = delete;
        Recorder& operator=(const Recorder&) = delete;

        QList<Shown> shown;
        // The answers to the questions, in turn; a question left without one
        // is answered no.
        QList<bool> answers;
        // What the operator types into the boxes that ask for a text, in turn;
        // a box left without one is cancelled.
        QStringList texts;
    };

    // An empty title gives the box the program's title.
    static void show(QWidget* parent, Icon icon, const QString& title, const QString& text);

    // The error box of an operation that traps its failures: "Det blev något fel",
    // CR LF, "Error: " and the operation's code, critical icon, title
    // "Felmeddelande"; then the file ("Fil: ") and the reason ("Orsak: ").
    static void showErrorBox(QWidget* parent, const QString& errorCode, const datafiles::Failure& failure);

    // Reports a failure that stopped an operation: what the operator asked for,
    // the file ("Fil: ") or the printer ("Skrivare: ") it concerned and the
    // reason. The program goes on running and keeps the order on screen.
    static void reportFailure(QWidget* parent, const QString& operation, const QString& file, const QString& reason);
    static void reportFailure(QWidget* parent, const datafiles::Failure& failure);

    // Asks a question with the buttons "Ja" and "Nej"; true for yes. The
    // default button is "Nej" unless `yesByDefault`.
    static bool ask(QWidget* parent, const QString& title, const QString& text, bool yesByDefault = false);

    // Asks whether to wait on for something (another desk to let go of the
    // data folder's lock), with the buttons "Vänta" and "Avbryt"; true for
    // waiting on. The box closes by itself, as if "Vänta" were chosen, once
    // `over()` is true; it asks it ten times a second.
    static bool askToWait(QWidget* parent, const QString& title, const QString& text,
                          const std::function<bool()>& over);

    // Asks for a line of text, under the prompt, with the accepting button's
    // caption and "Avbryt"; the button accepts only a text that is not blank.
    // None when the operator cancels.
    static std::optional<QString> askText(QWidget* parent, const QString& title, const QString& prompt,
                                          const QString& accept, int maxLength);

private:
    // A question with two buttons; true for the first. The box answers
    // itself with the first once `over()`, when given, is true.
    static bool askWith(QWidget* parent, const QString& title, const QString& text, const QStringList& buttons,
                        bool firstByDefault, const std::function<bool()>& over);
};
