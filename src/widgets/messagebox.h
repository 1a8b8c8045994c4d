#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace datafiles {
struct Failure;
}

// The program's title, carried by every message box that has no title of its own.
inline const QString programTitle = QStringLiteral("Orderregistrering");

// Every message box of the program goes through here. Tests install a Recorder,
// which takes the boxes down instead of showing them and waiting for OK.
class MessageBox
{
public:
    enum class Icon { None, Critical, Information };

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
        // The answers the next questions get, in turn; "Ja" once they run out.
        QList<bool> answers;
    };

    // An empty title gives the box the program's title.
    static void show(QWidget* parent, Icon icon, const QString& title, const QString& text);

    // A question with the buttons "Ja" and "Nej", "Nej" the default; true for "Ja".
    static bool ask(QWidget* parent, const QString& title, const QString& text);

    // The error box of an operation that traps its failures: "Det blev något fel",
    // CR LF, "Error: " and the operation's code, critical icon, title "Felmeddelande".
    static void showErrorBox(QWidget* parent, const QString& errorCode);

    // Reports a failure that stopped an operation: what the operator asked for,
    // the file ("Fil: ") or the printer ("Skrivare: ") it concerned and the
    // reason. The program goes on running and keeps the order on screen.
    static void reportFailure(QWidget* parent, const QString& operation, const QString& file, const QString& reason);
    static void reportFailure(QWidget* parent, const datafiles::Failure& failure);
};
