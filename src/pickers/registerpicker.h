#pragma once

#include "datafiles/datadirectory.h"
#include "order/registers.h"

#include <QList>
#include <QString>
#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;
class ReportListView;

// The window that lets the operator choose the order's payment terms, delivery
// method or freight method from its register. It is given the order's current
// code, lists the register, marks the row of that code and, on "OK", hands
// back the chosen row's ID. Enter or a double click on a row is "OK", Escape
// is "Avbryt".
class RegisterPicker : public QWidget
{
    Q_OBJECT

public:
    using Register = core::CodeRegister;

    // Reads the register and builds the window, hidden. When the register cannot
    // be read the operator is told which file and why (in a box over `parent`),
    // and there is no window. While the window is open, a register another desk
    // changes is read and listed again.
    static RegisterPicker* open(const datafiles::DataDirectory& data, Register which, const QString& currentCode,
                                QWidget* parent = nullptr);

    Register which() const { return m_which; }
    ReportListView* codeList() const { return m_codeList; }
    QGroupBox* Frame1() const { return m_Frame1; }
    QLabel* lbl_old() const { return m_lbl_old; }
    QLabel* lbl_old_id() const { return m_lbl_old_id; }
    QPushButton* okButton() const { return m_okButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }

signals:
    // "OK": the ID of the chosen row, for the order's code.
    void codeChosen(const QString& code);

public slots:
    void chooseCode();
    void cancel();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Instance;
    static const Instance& instance(Register which);

    RegisterPicker(Register which, const Instance& instance);
    void setupControls();
    void Form_Load(const QString& currentCode, const QList<core::RegisterRow>& rows);
    void listRows(const QList<core::RegisterRow>& rows);
    void readAgain(const datafiles::DataDirectory& data);

    Register m_which;
    const Instance& m_instance;

    ReportListView* m_codeList = nullptr;
    QGroupBox* m_Frame1 = nullptr;
    QLabel* m_lbl_old = nullptr;
    QLabel* m_lbl_old_id = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
