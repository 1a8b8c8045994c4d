#pragma once

#include "datafiles/datadirectory.h"

#include <QWidget>

class QListWidget;
class QPushButton;

// The error catalogue: the ids of ErrorID.txt in the upper list, the lines of
// the chosen id's own file in the lower one. It only reads the catalogue.
class FrmVarning : public QWidget
{
    Q_OBJECT

public:
    // Builds the window, hidden, with the catalogue's ids listed.
    static FrmVarning* open(const datafiles::DataDirectory& data);

    QListWidget* List1() const { return m_List1; }
    QListWidget* List2() const { return m_List2; }
    QPushButton* closeButton() const { return m_closeButton; }

public slots:
    void List1_Click();
    void closeWindow();

private:
    explicit FrmVarning(datafiles::DataDirectory data);
    void setupControls();
    // Reads the index and the entry of the (empty) selection.
    void Form_Load();
    void showEntry(const QString& id);
    // The lines of a catalogue file; a file that is not there gives none.
    QStringList catalogueLines(const std::optional<QString>& path, const QString& operation);

    datafiles::DataDirectory m_data;
    QListWidget* m_List1 = nullptr;
    QListWidget* m_List2 = nullptr;
    QPushButton* m_closeButton = nullptr;
};
