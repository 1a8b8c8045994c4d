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
// order's basket and its lines. A quantity or discount the order does not take
// is refused, and a return or a product without a price asks first. The
// picker stays open, with the box, when the line was not added.
class FrmAddProduct : public QWidget
{
    Q_OBJECT

public:
    // Takes the line the operator built into the order; the failure when it
    // could not be written.
    using TakeLine = std::function<std::optional<datafiles::Failure>(const core::OrderLine& line)>;

    // Reads the product register and builds the window, hidden; nullptr when
    // the register cannot be read, after telling the operator why (in a box
    // over `parent`). While the window is open, a register another desk
    // changes is read and listed again.
    static FrmAddProduct* open(const datafiles::DataDirectory& data, TakeLine take, QWidget* parent = nullptr);

    ReportListView* productList() const { return m_productList; }
    ProductRegisterModel* products() const { return m_products; }
    TextBox* articleNumberBox() const { return m_articleNumber; }
    TextBox* descriptionBox() const { return m_description; }
    TextBox* unitBox() const { return m_unit; }
    TextBox* unitPriceBox() const { return m_unitPrice; }
    TextBox* quantityBox() const { return m_quantity; }
    TextBox* discountBox() const { return m_discount; }
    TextBox* lineAmountBox() const { return m_lineAmount; }
    QLabel* lbl_sum1() const { return m_lbl_sum1; }
    QLabel* lbl_sum2() const { return m_lbl_sum2; }
    QPushButton* okButton() const { return m_okButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }

public slots:
    void cmdSok_Click();
    void takeChosenProduct();
    void addLine();
    void cancel();
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

    ReportListView* m_productList = nullptr;
    TextBox* m_articleNumber = nullptr;
    TextBox* m_description = nullptr;
    TextBox* m_unit = nullptr;
    TextBox* m_unitPrice = nullptr;
    TextBox* m_quantity = nullptr;
    TextBox* m_discount = nullptr;
    TextBox* m_lineAmount = nullptr;
    QLabel* m_lbl_sum1 = nullptr;
    QLabel* m_lbl_sum2 = nullptr;
    QPushButton* m_cmdSok = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
