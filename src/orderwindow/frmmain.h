#pragma once

#include "orderwindow.h"

#include "order/order.h"
#include "order/registers.h"
#include "printing/listviewprinting.h"

#include <QPointer>

#include <array>

class ClickableLabel;
class OrderLinesModel;
class PictureBox;
class QLabel;
class QMenu;
class ReportListView;
class TextBox;

// The order window: the head of the order being entered in its boxes, the
// order's lines in its list, the menus and function keys. The window holds the
// order as a value and keeps its boxes and the value in step: what the
// operator types goes into the order, and what a command puts into the order
// is shown in the boxes. The other windows are handed what they need and hand
// back their results, which only this window applies to the order.
class FrmMain : public OrderWindow
{
    Q_OBJECT

public:
    FrmMain(datafiles::DataDirectory data, Clock today);
    ~FrmMain() override;

    const core::Order& order() const override { return m_order; }
    void showOrder(const core::Order& order) override;

    // Removes the selected order lines and rewrites the order's basket file.
    void RemoveSelectedLines();

signals:
    // The order on screen has another number: the product picker adds its
    // lines to that order's basket.
    void orderNumberChanged(const QString& orderNumber);

public slots:
    void mnuNy_Click();
    void mnuPrint_Click();
    void mnuHamta_Click();
    void mnuOrderhistorik_Click();
    void mnuForhandsgranska_Click();
    void mnuData_Betk_Click();
    void mnuData_Levs_Click();
    void mnuData_Frkts_Click();
    void mnuVisa_Produkter_Click();
    void mnuHelp_Varning_Click();
    void mnuPlus_Click();
    void mnuMinus_Click();
    void cmdGetCustomerInfo_Click();
    void Label26_Click();

private:
    using Field = core::Order::Field;

    void setupWindow();
    void setupHead();
    void setupOrderLines();
    void setupLegend();
    void setupMenus();
    void setupTabOrder();
    void bg_pic_MouseDown(Qt::MouseButton button, const QPoint& globalPos);

    TextBox* addTextBox(QWidget* container, const char* name, int left, int top, int width, int height, int limit);
    TextBox* addHeadBox(Field field, QWidget* container, const char* name, int left, int top, int width, int height,
                        int limit);
    QLabel* addCaption(const char* name, const QString& caption, int left, int top, int width, int height);

    // Shows the order's text in the field's box, without echoing it back.
    void showField(Field field);
    void showHead();
    // The operator has changed the text of a box.
    void fieldEdited(Field field, const QString& text);

    void openRegisterPicker(QPointer<QWidget>& slot, core::CodeRegister which);
    void applyCode(core::CodeRegister which, const QString& code);
    void addLines(const QList<core::OrderLine>& lines);
    // "Ny order från denna" in the order history: a new order as "Ny" starts
    // one, holding the printed order's customer, codes and lines.
    void newOrderFrom(const core::Order& printed);
    // The order-line columns as they stand on screen, for the printed table.
    QList<printing::TableColumn> orderLineColumns() const;

    // Each of the other windows exists at most once: the first command creates
    // it, a later one brings it to the front, and one that was closed is created
    // afresh so that it reads its file again.
    template<typename Window, typename Create>
    Window* showSingle(QPointer<Window>& slot, Create create);

    datafiles::DataDirectory m_data;
    Clock m_today;
    core::Order m_order;
    core::CodeWording m_wording;

    QWidget* m_client = nullptr;
    PictureBox* m_bg_pic = nullptr;
    QWidget* m_Picture1 = nullptr;

    std::array<TextBox*, core::Order::fieldCount> m_boxes {};
    TextBox* m_txt_KundField0 = nullptr;
    TextBox* m_txt_KundField1 = nullptr;
    TextBox* m_txt_KundField2 = nullptr;
    TextBox* m_txt_KundField3 = nullptr;
    TextBox* m_txt_OrderNr = nullptr;
    TextBox* m_txt_lpl = nullptr;
    TextBox* m_txt_LevS = nullptr;
    TextBox* m_txt_Frkts = nullptr;
    TextBox* m_txt_Betk = nullptr;
    TextBox* m_txt_LevDat = nullptr;
    TextBox* m_txt_OrdDat = nullptr;
    TextBox* m_txt_RegNr = nullptr;
    TextBox* m_txt_Mkod = nullptr;
    TextBox* m_txt_Info = nullptr;
    ReportListView* m_ListView1 = nullptr;
    OrderLinesModel* m_lines = nullptr;

    QMenu* m_mnuPop1 = nullptr;

    QPointer<QWidget> m_frmBetk;
    QPointer<QWidget> m_frmLevS;
    QPointer<QWidget> m_frmFrkts;
    QPointer<QWidget> m_frmAddProduct;
    QPointer<QWidget> m_frmVarning;
    QPointer<QWidget> m_frmGetInfo;
    QPointer<QWidget> m_frmOrderhistorik;
    QPointer<QWidget> m_frmForhandsgranskning;
};

template<typename Window, typename Create>
Window* FrmMain::showSingle(QPointer<Window>& slot, Create create)
{
    if (!slot) {
        slot = create();
        if (!slot)
            return nullptr; // the window could not load its data and said so
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot.data();
}
