#pragma once

#include "orderwindow.h"

#include "order/openorder.h"
#include "printing/listviewprinting.h"
#include "widgets/singlewindow.h"

#include <array>

namespace core {
struct Customer;
}

class ClickableLabel;
class FrmAddProduct;
class FrmAterstall;
class FrmForetaget;
class FrmRegisterExport;
class FrmOrderExport;
class FrmImport;
class FrmKodregister;
class FrmKunder;
class FrmProduktregister;
class FrmGetInfo;
class FrmOrderHistory;
class FrmVarning;
class OrderLinesModel;
class PdfWindow;
class PictureBox;
class QAction;
class QLabel;
class QMenu;
class QTimer;
class RegisterPicker;
class ReportListView;
class TextBox;

// The order window: the head of the order being entered in its boxes, the
// order's lines in its list, the menus and function keys. The order itself is
// the open order's: what the operator types goes to it, the results the other
// windows hand back are applied by it, and the window shows what it signals.
class FrmMain : public OrderWindow
{
    Q_OBJECT

public:
    FrmMain(datafiles::DataDirectory data, Clock now);
    ~FrmMain() override;

    core::OpenOrder& openOrder() override { return *m_order; }
    const core::OpenOrder& openOrder() const override { return *m_order; }

    // Removes the selected order lines and rewrites the order's basket file.
    void removeSelectedLines();

public slots:
    void mnuNy_Click();
    void mnuPrint_Click();
    void mnuFoljesedel_Click();
    void mnuHamta_Click();
    void mnuOrderhistorik_Click();
    void mnuForhandsgranska_Click();
    void mnuData_Betk_Click();
    void mnuData_Levs_Click();
    void mnuData_Frkts_Click();
    void mnuVisa_Produkter_Click();
    void mnuHelp_Varning_Click();
    void mnuExportera_Click();
    void mnuSakerhetskopiera_Click();
    void mnuAterstall_Click();
    void mnuRegister_Kunder_Click();
    void mnuRegister_Produkter_Click();
    void mnuRegister_Betk_Click();
    void mnuRegister_Levs_Click();
    void mnuRegister_Frkts_Click();
    void mnuRegister_ImporteraPrislista_Click();
    void mnuRegister_ImporteraKundlista_Click();
    void mnuRegister_Exportera_Click();
    void mnuAvsluta_Click();
    void mnuRegister_Foretaget_Click();
    void mnuPlus_Click();
    void mnuMinus_Click();
    void cmdGetCustomerInfo_Click();
    void recordOrderNumber();

private:
    using Field = core::Order::Field;

    void setupWindow();
    void setupHead();
    void setupOrderLines();
    void setupTotals();
    void setupLegend();
    void setupMenus();
    void setupTabOrder();
    void setupSpokenNames();
    void bg_pic_MouseDown(Qt::MouseButton button, const QPoint& globalPos);
    // Chooses the order line alone and brings it in sight.
    void chooseLine(int row);
    bool eventFilter(QObject* watched, QEvent* event) override;

    TextBox* addTextBox(QWidget* container, const char* name, int left, int top, int width, int height, int limit);
    TextBox* addHeadBox(Field field, QWidget* container, const char* name, int left, int top, int width, int height,
                        int limit);
    QLabel* addCaption(const char* name, const QString& caption, int left, int top, int width, int height);

    // Shows the order's head in the boxes, without echoing it back.
    void showHead();
    void showTotals();
    void showCustomerLinesEditable(bool editable);
    void openRegisterPicker(SingleWindow<RegisterPicker>& picker, core::CodeRegister which);
    void openCodeRegister(SingleWindow<FrmKodregister>& window, core::CodeRegister which);
    void openImport(SingleWindow<FrmImport>& window, bool priceList);
    // "Ny order från denna" in the order history.
    void newOrderFrom(const core::Order& printed);
    // The customer form, opened for an e-mail address the history lacked.
    void addEmailAddress(const core::Customer& customer);
    // The order-line columns as they stand on screen, for the printed table.
    QList<printing::TableColumn> orderLineColumns() const;
    // The open preview follows the order: it is drawn again once the operator
    // pauses, so that its "Skriv ut (F9)" prints what it shows.
    void redrawPreview();
    // The backup entry's caption and flag, as of today.
    void showBackupReminder();

    core::OpenOrder* m_order = nullptr;

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
    ReportListView* m_orderLines = nullptr;
    OrderLinesModel* m_lines = nullptr;
    QList<QLabel*> m_totalCaptions;
    QList<QLabel*> m_totalValues;

    QMenu* m_mnuPop1 = nullptr;
    QAction* m_mnuSakerhetskopiera = nullptr;
    QTimer* m_previewRedraw = nullptr;

    SingleWindow<RegisterPicker> m_frmBetk;
    SingleWindow<RegisterPicker> m_frmLevS;
    SingleWindow<RegisterPicker> m_frmFrkts;
    SingleWindow<FrmAddProduct> m_frmAddProduct;
    SingleWindow<FrmVarning> m_frmVarning;
    SingleWindow<FrmGetInfo> m_frmGetInfo;
    SingleWindow<FrmOrderHistory> m_frmOrderhistorik;
    SingleWindow<PdfWindow> m_frmForhandsgranskning;
    SingleWindow<FrmKunder> m_frmKunder;
    SingleWindow<FrmProduktregister> m_frmProduktregister;
    SingleWindow<FrmKodregister> m_frmBetkRegister;
    SingleWindow<FrmKodregister> m_frmLevSRegister;
    SingleWindow<FrmKodregister> m_frmFrktsRegister;
    SingleWindow<FrmImport> m_frmImportPrislista;
    SingleWindow<FrmImport> m_frmImportKundlista;
    SingleWindow<FrmRegisterExport> m_registerExport;
    SingleWindow<FrmForetaget> m_frmForetaget;
    SingleWindow<FrmOrderExport> m_orderExport;
    SingleWindow<FrmAterstall> m_frmAterstall;
};
