#pragma once

#include "datafiles/datadirectory.h"
#include "datafiles/failure.h"
#include "datafiles/records.h"
#include "order/order.h"

#include <QWidget>

#include <functional>
#include <optional>

class ProductRegisterModel;
class QLabel;
class QPushButton;
class ReportListView;
class TextBox;

// The product picker: lists the product register, finds a product by the start
// of its article number, takes quantity and discount, keeps the line amount
// current and on "OK" hands the line to the open order, which adds it to the
// order's basket and its lines. The picker stays open, with the error box,
// when the line could not be added.
class FrmAddProduct : public QWidget
{
    Q_OBJECT

public:
    // Takes the line the operator built into the order; the failure when it
    // could not be written.
    using TakeLine = std::function<std::optional<datafiles::Failure>(const core::OrderLine& line)>;

    // Reads the product register and builds the window, hidden; nullptr when
    // the register cannot be read, after telling the operator why (in a box
    // over `parent`).
    static FrmAddProduct* open(const datafiles::DataDirectory& data, TakeLine take, QWidget* parent = nullptr);

    ReportListView* ListView1() const { return m_ListView1; }
    ProductRegisterModel* products() const { return m_products; }
    TextBox* Text1() const { return m_Text1; }
    TextBox* Text2() const { return m_Text2; }
    TextBox* Text3() const { return m_Text3; }
    TextBox* Text4() const { return m_Text4; }
    TextBox* Text5() const { return m_Text5; }
    TextBox* Text6() const { return m_Text6; }
    TextBox* Text7() const { return m_Text7; }
    QLabel* lbl_sum1() const { return m_lbl_sum1; }
    QLabel* lbl_sum2() const { return m_lbl_sum2; }
    QPushButton* Command1() const { return m_Command1; }
    QPushButton* Command2() const { return m_Command2; }

public slots:
    void cmdSok_Click();
    void ListView1_Click();
    void Command1_Click();
    void Command2_Click();
    // Gross, discount and line amount from the unit price, quantity and discount.
    void recomputeLineAmount();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FrmAddProduct(datafiles::RecordTable products, TakeLine take);
    void setupControls();
    void setupTabOrder();
    TextBox* addTextBox(const char* name, int left, int top, int width, int height, bool readOnly);
    QLabel* addLabel(const char* name, const QString& caption, int left, int top, int width, int height);
    void typeDecimalPoints(TextBox* box);

    TakeLine m_take;
    ProductRegisterModel* m_products = nullptr;

    ReportListView* m_ListView1 = nullptr;
    TextBox* m_Text1 = nullptr;
    TextBox* m_Text2 = nullptr;
    TextBox* m_Text3 = nullptr;
    TextBox* m_Text4 = nullptr;
    TextBox* m_Text5 = nullptr;
    TextBox* m_Text6 = nullptr;
    TextBox* m_Text7 = nullptr;
    QLabel* m_lbl_sum1 = nullptr;
    QLabel* m_lbl_sum2 = nullptr;
    QPushButton* m_cmdSok = nullptr;
    QPushButton* m_Command1 = nullptr;
    QPushButton* m_Command2 = nullptr;
};
