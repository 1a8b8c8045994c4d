#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>

class FrmMain;
class QGroupBox;
class QLabel;
class QPushButton;
class ReportListView;
class TextBox;

// A register file lists codes and their wording, an ID and a description to a
// record, read two fields at a time. Only complete records count.
QList<QStringList> registerRows(QByteArrayView bytes, bool* endsInsideRecord = nullptr);

// The description of the first record whose ID is exactly the code.
std::optional<QString> registerDescription(QByteArrayView bytes, const QString& code);

// The window that lets the operator choose the order's payment terms, delivery
// method or freight method from its register. It lists the register, marks the
// row of the order's current code and, on "OK", writes the chosen row's ID into
// the order window.
class RegisterPicker : public QWidget
{
    Q_OBJECT

public:
    enum class Register { PaymentTerms, DeliveryMethod, FreightMethod };

    // Reads the register and builds the window, hidden. When the register cannot
    // be read the operator is told which file and why, and there is no window.
    static RegisterPicker* create(FrmMain& order, Register which);

    ReportListView* ListView1() const { return m_ListView1; }
    QGroupBox* Frame1() const { return m_Frame1; }
    QLabel* lbl_old() const { return m_lbl_old; }
    QLabel* lbl_old_id() const { return m_lbl_old_id; }
    QPushButton* Command1() const { return m_Command1; }
    QPushButton* Command2() const { return m_Command2; }

public slots:
    void Command1_Click();
    void Command2_Click();

private:
    struct Instance;
    static const Instance& instance(Register which);

    RegisterPicker(FrmMain& order, const Instance& instance);
    void setupControls();
    void Form_Load(const QList<QStringList>& rows);
    TextBox* orderBox() const;

    FrmMain& m_order;
    const Instance& m_instance;

    ReportListView* m_ListView1 = nullptr;
    QGroupBox* m_Frame1 = nullptr;
    QLabel* m_lbl_old = nullptr;
    QLabel* m_lbl_old_id = nullptr;
    QPushButton* m_Command1 = nullptr;
    QPushButton* m_Command2 = nullptr;
};
