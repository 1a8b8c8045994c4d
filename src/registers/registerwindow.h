#pragma once

#include "datafiles/failure.h"
#include "datafiles/records.h"

#include <QPointer>
#include <QWidget>

#include <optional>

class FileWatch;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class ReportTableView;

// What the register windows share: a search box where there is one, the list,
// and "Ny", "Ändra", "Ta bort" and "Stäng"; "Töm registret…" and "Ångra
// tömningen" where the register can be emptied. Enter on a row or a double click
// is "Ändra", Del on the list is "Ta bort", Escape is "Stäng"; Down in the
// search box goes to the list, and Enter there opens the row found. Tabbed
// into, the list has its first row chosen.
class RegisterWindow : public QWidget
{
    Q_OBJECT

public:
    ReportTableView* list() const { return m_list; }
    QLineEdit* txtSok() const { return m_txtSok; }
    QPushButton* cmdNy() const { return m_cmdNy; }
    QPushButton* cmdTaBort() const { return m_cmdTaBort; }
    QPushButton* cmdTom() const { return m_cmdTom; }
    QPushButton* cmdAngraTomning() const { return m_cmdAngraTomning; }

public slots:
    virtual void cmdNy_Click() = 0;
    virtual void cmdAndra_Click() = 0;
    virtual void cmdTaBort_Click() = 0;
    void cmdStang_Click();
    void cmdTom_Click();
    void cmdAngraTomning_Click();
    // Reads the register afresh and lists it, after an import, or when
    // another desk changed it.
    void reload();

protected:
    struct Captions
    {
        const char* objectName;
        QString title;
        QString listName; // the list's accessible name
        QString newCaption; // "&Ny kund"
        bool searchable;
        QString row; // what a row is: "kund"
        QString recordTitle; // the form's and the refusal's title: "Kund"
        QString notSaved; // "Kunden kan inte sparas: %1."
    };
    explicit RegisterWindow(const Captions& captions);

    // What reading the register came to: nothing listed when `failure`;
    // listed, with something to tell the operator, when `notice`.
    struct Reading
    {
        std::optional<datafiles::Failure> failure;
        std::optional<datafiles::Failure> notice;
    };
    virtual Reading readRegister() = 0;
    // The register is read again when one of these files has changed on disk
    // (another desk saved it), unless a record is being typed: then once its
    // form has closed.
    void watch(const QStringList& files);
    // The register on disk is what the window has just written.
    void markWritten();
    // Reads the register and lists it, telling the operator (in a box over
    // `parent`) what there is to tell; false when it cannot be read.
    bool readAndList(QWidget* parent);
    // The window, listing its register; nullptr when the register cannot be
    // read, after telling the operator.
    template<class Window>
    static Window* listing(Window* window, QWidget* parent)
    {
        if (static_cast<RegisterWindow*>(window)->readAndList(parent))
            return window;
        delete window;
        return nullptr;
    }

    // The row chosen in the list; -1 when none is.
    int chosenRow() const;
    // The same, when the operator has chosen one; otherwise -1, after asking
    // them to choose one first.
    int rowToWorkOn();
    // Chooses the row and brings it in sight.
    void chooseRow(int row);
    // Shows the form in which the operator types a record.
    void showForm(QDialog* form);
    // Tells the operator why a change was not made. A register changed on
    // disk is read afresh, and the form closes: the record it was opened on
    // may stand elsewhere now.
    void tellNotSaved(const datafiles::Failure& failure);
    const QString& recordTitle() const { return m_recordTitle; }
    virtual void txtSok_Change() { }
    // What "Töm registret…" empties: how many rows, of what register, and
    // whether an emptying can be undone.
    struct Emptied
    {
        qsizetype count = 0;
        QString name; // "Produkter"
        QString rows; // "produkter"
        bool canUndo = false;
    };
    virtual Emptied emptied() const = 0;
    virtual std::optional<datafiles::Failure> emptyRegister() = 0;
    virtual std::optional<datafiles::Failure> undoEmptying() = 0;
    // Shows "Töm registret…" and "Ångra tömningen" as emptied() allows.
    void showEmptying();
    bool eventFilter(QObject* watched, QEvent* event) override;

    ReportTableView* m_list = nullptr;
    QLineEdit* m_txtSok = nullptr;
    QLabel* m_lblAntal = nullptr;

private:
    QPushButton* m_cmdNy = nullptr;
    QPushButton* m_cmdAndra = nullptr;
    QPushButton* m_cmdTaBort = nullptr;
    QPushButton* m_cmdStang = nullptr;
    QPushButton* m_cmdTom = nullptr;
    QPushButton* m_cmdAngraTomning = nullptr;
    QString m_row;
    QString m_recordTitle;
    QString m_notSaved;
    QPointer<QDialog> m_form;
    FileWatch* m_watch = nullptr;
};
