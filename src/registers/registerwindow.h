#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class ReportTableView;

// What the register windows share: a search box where there is one, the list,
// and "Ny", "Ändra", "Ta bort" and "Stäng". Enter on a row or a double click
// is "Ändra", Del on the list is "Ta bort", Escape is "Stäng"; Down in the
// search box goes to the list.
class RegisterWindow : public QWidget
{
    Q_OBJECT

public:
    ReportTableView* list() const { return m_list; }
    QLineEdit* txtSok() const { return m_txtSok; }
    QPushButton* cmdNy() const { return m_cmdNy; }
    QPushButton* cmdTaBort() const { return m_cmdTaBort; }

public slots:
    virtual void cmdNy_Click() = 0;
    virtual void cmdAndra_Click() = 0;
    virtual void cmdTaBort_Click() = 0;
    void cmdStang_Click();

protected:
    struct Captions
    {
        const char* objectName;
        QString title;
        QString listName; // the list's accessible name
        QString newCaption; // "&Ny kund"
        bool searchable;
    };
    explicit RegisterWindow(const Captions& captions);

    // The row chosen in the list; -1 when none is.
    int chosenRow() const;
    // Chooses the row and brings it in sight.
    void chooseRow(int row);
    virtual void txtSok_Change() { }
    bool eventFilter(QObject* watched, QEvent* event) override;

    ReportTableView* m_list = nullptr;
    QLineEdit* m_txtSok = nullptr;
    QLabel* m_lblAntal = nullptr;

private:
    QPushButton* m_cmdNy = nullptr;
    QPushButton* m_cmdAndra = nullptr;
    QPushButton* m_cmdTaBort = nullptr;
    QPushButton* m_cmdStang = nullptr;
};
