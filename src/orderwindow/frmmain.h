#pragma once

#include "datafiles/datadirectory.h"

#include <QDate>
#include <QMainWindow>
#include <QPointer>

#include <functional>

class QAction;
class QLabel;
class QMenu;
class ReportListView;
class TextBox;
class PictureBox;
class ClickableLabel;

// The order window: the head of the order being entered, its order lines, the
// menus and function keys. The order is nothing but this window's controls;
// the other windows are handed a reference to it and write their results
// straight into its controls.
class FrmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit FrmMain(datafiles::DataDirectory data, QWidget* parent = nullptr);
    ~FrmMain() override;

    const datafiles::DataDirectory& dataDirectory() const { return m_data; }
    // Where "Ny" takes today's date from; tests give a fixed day.
    void setClock(std::function<QDate()> today) { m_today = std::move(today); }

    // The controls, by the names the rest of the program knows them by.
    TextBox* txt_KundField0() const { return m_txt_KundField0; }
    TextBox* txt_KundField1() const { return m_txt_KundField1; }
    TextBox* txt_KundField2() const { return m_txt_KundField2; }
    TextBox* txt_KundField3() const { return m_txt_KundField3; }
    TextBox* txt_OrderNr() const { return m_txt_OrderNr; }
    TextBox* txt_lpl() const { return m_txt_lpl; }
    TextBox* txt_LevS() const { return m_txt_LevS; }
    TextBox* txt_Frkts() const { return m_txt_Frkts; }
    TextBox* txt_Betk() const { return m_txt_Betk; }
    TextBox* txt_LevDat() const { return m_txt_LevDat; }
    TextBox* txt_OrdDat() const { return m_txt_OrdDat; }
    TextBox* txt_RegNr() const { return m_txt_RegNr; }
    TextBox* txt_Mkod() const { return m_txt_Mkod; }
    TextBox* txt_Info() const { return m_txt_Info; }
    ReportListView* ListView1() const { return m_ListView1; }

    // The derived values that the printed order reads (never shown in the window).
    QLabel* lbl_exkl() const { return m_lbl_exkl; }
    QLabel* lbl_moms_pro() const { return m_lbl_moms_pro; }
    QLabel* lbl_moms_kr() const { return m_lbl_moms_kr; }
    QLabel* lbl_inkl() const { return m_lbl_inkl; }
    QLabel* lbl_bet() const { return m_lbl_bet; }
    QLabel* lbl_lev() const { return m_lbl_lev; }
    QLabel* lbl_frakt() const { return m_lbl_frakt; }
    // The two fixed pieces the order list line is built from: `"` and `","`.
    QLabel* i1() const { return m_i1; }
    QLabel* i2() const { return m_i2; }

    QMenu* mnuPop1() const { return m_mnuPop1; }

    // Removes the selected order lines and rewrites the order's basket file.
    void RemoveSelectedLines();

public slots:
    void mnuNy_Click();
    void mnuPrint_Click();
    void mnuHamta_Click();
    void mnuData_Betk_Click();
    void mnuData_Levs_Click();
    void mnuData_Frkts_Click();
    void mnuVisa_Produkter_Click();
    void mnuHelp_Varning_Click();
    void mnuPlus_Click();
    void mnuMinus_Click();
    void cmdGetCustomerInfo_Click();
    void Label26_Click();

    // Keep the totals, the VAT and the wording of the codes in step with the
    // order; called whenever one of their inputs changes.
    void recomputeAmounts();
    void recomputeCodeTexts();

private:
    void setupWindow();
    void setupHead();
    void setupOrderLines();
    void setupLegend();
    void setupHiddenValues();
    void setupMenus();
    void setupTabOrder();
    void connectRecomputation();
    void bg_pic_MouseDown(Qt::MouseButton button, const QPoint& globalPos);

    TextBox* addTextBox(QWidget* container, const char* name, int left, int top, int width, int height, int limit);
    QLabel* addCaption(const char* name, const QString& caption, int left, int top, int width, int height);
    QLabel* addHiddenValue(const char* name, const QString& text = {});

    // Each of the other windows exists at most once: the first command creates
    // it, a later one brings it to the front, and one that was closed is created
    // afresh so that it reads its file again.
    template<typename Window, typename Create>
    Window* showSingle(QPointer<Window>& slot, Create create);

    datafiles::DataDirectory m_data;
    std::function<QDate()> m_today;

    QWidget* m_client = nullptr;
    PictureBox* m_bg_pic = nullptr;
    QWidget* m_Picture1 = nullptr;

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

    QLabel* m_lbl_exkl = nullptr;
    QLabel* m_lbl_moms_pro = nullptr;
    QLabel* m_lbl_moms_kr = nullptr;
    QLabel* m_lbl_inkl = nullptr;
    QLabel* m_lbl_bet = nullptr;
    QLabel* m_lbl_lev = nullptr;
    QLabel* m_lbl_frakt = nullptr;
    QLabel* m_i1 = nullptr;
    QLabel* m_i2 = nullptr;

    QMenu* m_mnuPop1 = nullptr;

    QPointer<QWidget> m_frmBetk;
    QPointer<QWidget> m_frmLevS;
    QPointer<QWidget> m_frmFrkts;
    QPointer<QWidget> m_frmAddProduct;
    QPointer<QWidget> m_frmVarning;
    QPointer<QWidget> m_frmGetInfo;
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
