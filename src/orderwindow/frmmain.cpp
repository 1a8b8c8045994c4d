#include "frmmain.h"

#include "orderlinesmodel.h"

#include "history/frmorderhistory.h"
#include "history/pdfwindow.h"
#include "officewindows/backupcommand.h"
#include "officewindows/frmaterstall.h"
#include "officewindows/frmorderexport.h"
#include "officewindows/remembered.h"
#include "order/totals.h"
#include "pickers/frmaddproduct.h"
#include "pickers/registerpicker.h"
#include "printing/orderdocument.h"
#include "printjob/preview.h"
#include "printjob/printjob.h"
#include "registers/frmforetaget.h"
#include "registers/frmimport.h"
#include "registers/frmkodregister.h"
#include "registers/frmkunder.h"
#include "registers/frmproduktregister.h"
#include "registers/frmregisterexport.h"
#include "retrieval/frmgetinfo.h"
#include "retrieval/frmvarning.h"
#include "widgets/accessible.h"
#include "widgets/controls.h"
#include "widgets/filedialog.h"
#include "widgets/look.h"
#include "widgets/messagebox.h"
#include "widgets/reportlistview.h"
#include "widgets/textbox.h"
#include "widgets/twips.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

namespace {

// Client area of the window, in twips.
constexpr int clientWidth = 10455;
constexpr int clientHeight = 6990;

// How long the operator pauses before an open preview is drawn again.
constexpr int previewPauseMs = 250;

void setTextColour(QWidget* widget, const QColor& colour, const QColor& background = Qt::transparent)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Text, colour);
    p.setColor(QPalette::Base, background);
    p.setColor(QPalette::Window, background);
    widget->setPalette(p);
}

} // namespace

std::unique_ptr<OrderWindow> OrderWindow::create(datafiles::DataDirectory data, Clock now)
{
    return std::make_unique<FrmMain>(std::move(data), std::move(now));
}

FrmMain::FrmMain(datafiles::DataDirectory data, Clock now)
    : m_order(new core::OpenOrder(std::move(data), std::move(now), this))
{
    setObjectName(QStringLiteral("frmMain"));
    setupWindow();
    setupHead();
    setupOrderLines();
    setupTotals();
    setupLegend();
    setupMenus();
    setupTabOrder();
    setupSpokenNames();
    showHead();
    showTotals();

    // The operator chooses whole order lines, which "Ta bort" removes.
    m_orderLines->enableFullRowSelect();

    connect(m_order, &core::OpenOrder::headChanged, this, &FrmMain::showHead);
    connect(m_order, &core::OpenOrder::changed, this, &FrmMain::showTotals);
    connect(m_order, &core::OpenOrder::customerLinesEditableChanged, this, &FrmMain::showCustomerLinesEditable);
    connect(m_order, &core::OpenOrder::cutRecordSetAside, this,
            [this](const datafiles::Failure& report) { MessageBox::reportFailure(this, report); });
    m_previewRedraw = new QTimer(this);
    m_previewRedraw->setSingleShot(true);
    m_previewRedraw->setInterval(previewPauseMs);
    connect(m_previewRedraw, &QTimer::timeout, this, &FrmMain::redrawPreview);
    connect(m_order, &core::OpenOrder::changed, this, [this] {
        if (m_frmForhandsgranskning.get())
            m_previewRedraw->start();
    });

    setFixedSize(sizeHint());
    look::placeOnScreen(*this, size());
}

FrmMain::~FrmMain() = default;

void FrmMain::setupWindow()
{
    setWindowTitle(QStringLiteral("Orderregistrering"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setFixedSize(twipsToPixels(clientWidth), twipsToPixels(clientHeight));
    m_client->setAutoFillBackground(true);
    QPalette p = m_client->palette();
    p.setColor(QPalette::Window, look::background);
    m_client->setPalette(p);
    setCentralWidget(m_client);
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setSizeGripEnabled(false);

    m_bg_pic = new PictureBox(look::background, m_client);
    m_bg_pic->setObjectName(QStringLiteral("bg_pic"));
    m_bg_pic->setGeometry(twipsRect(0, 0, 10455, 7815));
    connect(m_bg_pic, &PictureBox::mouseDown, this, &FrmMain::bg_pic_MouseDown);
}

TextBox* FrmMain::addTextBox(QWidget* container, const char* name, int left, int top, int width, int height, int limit)
{
    auto* box = new TextBox(container);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(twipsRect(left, top, width, height));
    box->setFrame(false);
    box->setTypingLimit(limit);
    box->setFont(look::sansSerif(8.25, true));
    box->setTextMargins(0, 0, 0, 0);
    setTextColour(box, look::fieldText, look::background);
    return box;
}

TextBox* FrmMain::addHeadBox(Field field, QWidget* container, const char* name, int left, int top, int width,
                             int height, int limit)
{
    TextBox* box = addTextBox(container, name, left, top, width, height, limit);
    m_boxes[size_t(field)] = box;
    connect(box, &QLineEdit::textChanged, m_order,
            [this, field](const QString& text) { m_order->setText(field, text); });
    return box;
}

QLabel* FrmMain::addCaption(const char* name, const QString& caption, int left, int top, int width, int height)
{
    auto* label = new QLabel(caption, m_bg_pic);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(twipsRect(left, top, width, height));
    label->setFont(look::sansSerif(8.25, true));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(label, look::captionText);
    return label;
}

void FrmMain::setupHead()
{
    QLabel* label2 = addCaption("Label2", QStringLiteral("["), 3720, 120, 135, 255);
    label2->setFont(look::sansSerif(9.75, true));
    QLabel* label4 = addCaption("Label4", QStringLiteral("Orderregistrering"), 3840, 120, 2775, 255);
    label4->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setTextColour(label4, look::fieldText);
    QLabel* label3 = addCaption("Label3", QStringLiteral("]"), 6600, 120, 135, 255);
    label3->setFont(look::sansSerif(9.75, true));
    label3->setAlignment(Qt::AlignRight | Qt::AlignTop);

    auto* shape1 = new LineShape(Qt::white, 1, false, m_bg_pic);
    shape1->setObjectName(QStringLiteral("Shape1"));
    shape1->setGeometry(twipsRect(120, 240, 3615, 15));
    auto* shape2 = new LineShape(Qt::white, 1, false, m_bg_pic);
    shape2->setObjectName(QStringLiteral("Shape2"));
    shape2->setGeometry(twipsRect(6720, 240, 3615, 15));

    addCaption("Label1", QStringLiteral("Kundnr:"), 120, 480, 1095, 255);
    m_txt_KundField0 = addHeadBox(Field::CustomerNumber, m_bg_pic, "txt_KundField0", 1080, 480, 2295, 285, 15);
    m_txt_KundField1 = addHeadBox(Field::CustomerLine1, m_bg_pic, "txt_KundField1", 120, 840, 3255, 285, 30);
    m_txt_KundField2 = addHeadBox(Field::CustomerLine2, m_bg_pic, "txt_KundField2", 120, 1080, 3255, 285, 30);
    m_txt_KundField3 = addHeadBox(Field::CustomerLine3, m_bg_pic, "txt_KundField3", 120, 1440, 3255, 285, 30);

    // Enter in the customer-number box runs the lookup; the hidden "Sök" button
    // carries the same lookup as its click.
    auto* search = new QPushButton(QStringLiteral("Sök"), m_client);
    search->setObjectName(QStringLiteral("cmdGetCustomerInfo"));
    search->setGeometry(twipsRect(2520, 480, 1095, 375));
    search->setVisible(false);
    connect(search, &QPushButton::clicked, this, &FrmMain::cmdGetCustomerInfo_Click);
    connect(m_txt_KundField0, &QLineEdit::returnPressed, this, &FrmMain::cmdGetCustomerInfo_Click);

    addCaption("Label12", QStringLiteral("Nr:"), 6240, 480, 735, 255);
    m_txt_OrderNr = addHeadBox(Field::OrderNumber, m_client, "txt_OrderNr", 6960, 480, 1455, 285, 6);
    m_txt_OrderNr->setReadOnly(true);
    addCaption("Label14", QStringLiteral("Lpl:"), 8640, 480, 615, 255);
    m_txt_lpl = addHeadBox(Field::Lpl, m_client, "txt_lpl", 9360, 480, 855, 285, 6);

    addCaption("Label8", QStringLiteral("Levs:"), 120, 2280, 735, 255);
    m_txt_LevS = addHeadBox(Field::DeliveryMethod, m_bg_pic, "txt_LevS", 960, 2280, 855, 285, 1);
    addCaption("Label9", QStringLiteral("Frkts:"), 2040, 2280, 735, 255);
    m_txt_Frkts = addHeadBox(Field::FreightMethod, m_bg_pic, "txt_Frkts", 2880, 2280, 855, 285, 1);
    addCaption("Label10", QStringLiteral("Betk:"), 3960, 2280, 735, 255);
    m_txt_Betk = addHeadBox(Field::PaymentTerms, m_bg_pic, "txt_Betk", 4800, 2280, 855, 285, 1);

    addCaption("Label5", QStringLiteral("Levdat:"), 120, 2640, 735, 255);
    m_txt_LevDat = addHeadBox(Field::DeliveryDate, m_bg_pic, "txt_LevDat", 960, 2640, 855, 285, 6);
    addCaption("Label6", QStringLiteral("Orddat:"), 2040, 2640, 735, 255);
    m_txt_OrdDat = addHeadBox(Field::OrderDate, m_bg_pic, "txt_OrdDat", 2880, 2640, 855, 285, 6);
    addCaption("Label7", QStringLiteral("Regnr:"), 3960, 2640, 735, 255);
    m_txt_RegNr = addHeadBox(Field::RegistrationNumber, m_bg_pic, "txt_RegNr", 4800, 2640, 855, 285, 6);
    addCaption("Label11", QStringLiteral("Mkod:"), 6360, 2640, 735, 255);
    m_txt_Mkod = addHeadBox(Field::VatCode, m_bg_pic, "txt_Mkod", 7200, 2640, 855, 285, 6);

    addCaption("Label13", QStringLiteral("Info:"), 120, 3000, 735, 255);
    m_txt_Info = addHeadBox(Field::Info, m_bg_pic, "txt_Info", 960, 3000, 6015, 285, 200);
}

void FrmMain::setupOrderLines()
{
    QLabel* band = addCaption("Label15", QString(), 0, 3480, 10575, 135);
    band->setAutoFillBackground(true);
    setTextColour(band, look::captionText, look::background);
    auto* shape3 = new LineShape(Qt::white, 1, false, m_bg_pic);
    shape3->setObjectName(QStringLiteral("Shape3"));
    shape3->setGeometry(twipsRect(0, 3480, 10695, 15));

    // The first column's caption carries the list's access key, Alt+T.
    addCaption("Label16", QStringLiteral("Ar&tikelnr"), 120, 3600, 1575, 255);
    addCaption("Label17", QStringLiteral("Benämning"), 1800, 3600, 1575, 255);
    addCaption("Label18", QStringLiteral("Enhet"), 5040, 3600, 1575, 255);
    addCaption("Label19", QStringLiteral("A-pris"), 5760, 3600, 1575, 255);
    addCaption("Label20", QStringLiteral("Antal"), 7080, 3600, 975, 255);
    addCaption("Label21", QStringLiteral("Rab %"), 8400, 3600, 855, 255);
    addCaption("Label22", QStringLiteral("Radsumma"), 9240, 3600, 1095, 255);

    const QList<printing::TableColumn> columns = printing::designedOrderLineColumns();
    m_lines = new OrderLinesModel(*m_order, columns, this);
    m_orderLines = new ReportListView(m_bg_pic);
    m_orderLines->setObjectName(QStringLiteral("ListView1"));
    m_orderLines->setGeometry(twipsRect(0, 4080, 10455, 2175));
    m_orderLines->setFont(look::timesNewRoman(8.25));
    m_orderLines->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_orderLines->setModel(m_lines);
    m_orderLines->installEventFilter(this);
    QList<int> widths;
    for (const printing::TableColumn& column : columns)
        widths.append(int(column.widthTwips));
    m_orderLines->setDesignWidths(widths);
}

void FrmMain::setupTotals()
{
    // Right of the customer, in line with its three lines: what the order
    // comes to as it stands, as its printout will say.
    const struct
    {
        const char* caption;
        const char* value;
        int top;
    } rows[] = { { "lblExklMomsText", "lblExklMoms", 840 },
                 { "lblMomsText", "lblMoms", 1080 },
                 { "lblAttBetalaText", "lblAttBetala", 1440 } };
    for (const auto& row : rows) {
        m_totalCaptions.append(addCaption(row.caption, QString(), 6240, row.top, 1560, 255));
        QLabel* value = addCaption(row.value, QString(), 7800, row.top, 2415, 255);
        value->setAlignment(Qt::AlignRight | Qt::AlignTop);
        setTextColour(value, look::fieldText);
        m_totalValues.append(value);
    }
}

void FrmMain::showTotals()
{
    const core::Totals totals = core::totalsOf(m_order->order());
    const bool rateKnown = totals.knowsVat();
    const QString& unknown = core::unknownAmount;
    m_totalCaptions.at(0)->setText(QStringLiteral("Exkl. moms:"));
    m_totalCaptions.at(1)->setText(rateKnown ? QStringLiteral("Moms %1 %:").arg(totals.vatRate)
                                             : QStringLiteral("Moms, %1 sats:").arg(unknown));
    m_totalCaptions.at(2)->setText(QStringLiteral("Att betala:"));
    m_totalValues.at(0)->setText(totals.exclusiveOfVat);
    m_totalValues.at(1)->setText(rateKnown ? totals.vat : unknown);
    m_totalValues.at(2)->setText(rateKnown ? totals.inclusiveOfVat : unknown);
}

void FrmMain::setupLegend()
{
    m_Picture1 = new PictureBox(look::legendStrip, m_client);
    m_Picture1->setObjectName(QStringLiteral("Picture1"));
    m_Picture1->setGeometry(twipsRect(0, 6480, 10455, 495));

    struct Legend
    {
        const char* name;
        const char* caption;
        int left;
        int width;
    };
    const Legend legends[] = {
        { "Label23", " F1 - Ny order", 465, 1215 },    { "Label25", " F4 - Leveranssätt", 2520, 1560 },
        { "Label24", " F5 - Fraktsätt", 4545, 1245 },  { "Label26", " F9 - Skriv ut underlag", 6480, 1920 },
        { "Label27", " F12 - Produkter", 8745, 1425 },
    };
    for (const Legend& legend : legends) {
        auto* label = new ClickableLabel(QString::fromUtf8(legend.caption), m_Picture1);
        label->setObjectName(QLatin1String(legend.name));
        label->setFont(look::sansSerif(8.25, true));
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        setTextColour(label, look::captionText);
        // Each legend is as wide as its text needs, at its place on the strip.
        const QRect designed = twipsRect(legend.left, 120, legend.width, 195);
        label->setGeometry(designed.x(), designed.y(), qMax(designed.width(), label->sizeHint().width()),
                           qMax(designed.height(), label->sizeHint().height()));
        if (qstrcmp(legend.name, "Label26") == 0)
            connect(label, &ClickableLabel::clicked, this, &FrmMain::recordOrderNumber);
    }

    // The white border round the strip, drawn over it so that it shows.
    auto* shape4 = new LineShape(Qt::white, 3, true, m_client);
    shape4->setObjectName(QStringLiteral("Shape4"));
    shape4->setGeometry(twipsRect(0, 6480, 11775, 495));
}

void FrmMain::setupMenus()
{
    auto addEntry = [this](QMenu* menu, const char* name, const QString& caption, QKeySequence shortcut,
                           void (FrmMain::*slot)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };

    QMenu* arkiv = menuBar()->addMenu(QStringLiteral("&Arkiv"));
    arkiv->setObjectName(QStringLiteral("mnuArkiv"));
    addEntry(arkiv, "mnuNy", QStringLiteral("Ny"), Qt::Key_F1, &FrmMain::mnuNy_Click);
    addEntry(arkiv, "mnuHamta", QStringLiteral("Hämta underlag"), Qt::Key_F3, &FrmMain::mnuHamta_Click);
    addEntry(arkiv, "mnuOrderhistorik", QStringLiteral("Orderhistorik"), Qt::Key_F6, &FrmMain::mnuOrderhistorik_Click);
    addEntry(arkiv, "mnuForhandsgranska", QStringLiteral("Förhandsgranska"), Qt::SHIFT | Qt::Key_F9,
             &FrmMain::mnuForhandsgranska_Click);
    addEntry(arkiv, "mnuPrint", QStringLiteral("Skriv ut"), Qt::Key_F9, &FrmMain::mnuPrint_Click);
    addEntry(arkiv, "mnuFoljesedel", QStringLiteral("Skriv följesedel"), {}, &FrmMain::mnuFoljesedel_Click);
    arkiv->addSeparator();
    addEntry(arkiv, "mnuExportera", QStringLiteral("&Exportera order…"), {}, &FrmMain::mnuExportera_Click);
    m_mnuSakerhetskopiera = addEntry(arkiv, "mnuSakerhetskopiera", QString(), {}, &FrmMain::mnuSakerhetskopiera_Click);
    addEntry(arkiv, "mnuAterstall", QStringLiteral("Å&terställ från säkerhetskopia…"), {},
             &FrmMain::mnuAterstall_Click);
    arkiv->addSeparator();
    addEntry(arkiv, "mnuAvsluta", QStringLiteral("&Avsluta"), Qt::CTRL | Qt::Key_Q, &FrmMain::mnuAvsluta_Click);
    connect(arkiv, &QMenu::aboutToShow, this, &FrmMain::showBackupReminder);
    showBackupReminder();

    QMenu* data = menuBar()->addMenu(QStringLiteral("&Data"));
    data->setObjectName(QStringLiteral("mnuData"));
    addEntry(data, "mnuData_Betk", QStringLiteral("Betalningsvillkor"), {}, &FrmMain::mnuData_Betk_Click);
    addEntry(data, "mnuData_Levs", QStringLiteral("Leveranssätt"), Qt::Key_F4, &FrmMain::mnuData_Levs_Click);
    addEntry(data, "mnuData_Frkts", QStringLiteral("Fraktssätt"), Qt::Key_F5, &FrmMain::mnuData_Frkts_Click);

    // The registers the desk reads, kept in the program; no function key.
    QMenu* registers = menuBar()->addMenu(QStringLiteral("&Register"));
    registers->setObjectName(QStringLiteral("mnuRegister"));
    addEntry(registers, "mnuRegister_Kunder", QStringLiteral("&Kunder…"), {}, &FrmMain::mnuRegister_Kunder_Click);
    addEntry(registers, "mnuRegister_Produkter", QStringLiteral("&Produkter…"), {},
             &FrmMain::mnuRegister_Produkter_Click);
    addEntry(registers, "mnuRegister_Betk", QStringLiteral("&Betalningsvillkor…"), {},
             &FrmMain::mnuRegister_Betk_Click);
    addEntry(registers, "mnuRegister_Levs", QStringLiteral("&Leveranssätt…"), {}, &FrmMain::mnuRegister_Levs_Click);
    addEntry(registers, "mnuRegister_Frkts", QStringLiteral("&Fraktsätt…"), {}, &FrmMain::mnuRegister_Frkts_Click);
    addEntry(registers, "mnuRegister_Foretaget", QStringLiteral("Före&taget…"), {},
             &FrmMain::mnuRegister_Foretaget_Click);
    registers->addSeparator();
    addEntry(registers, "mnuRegister_ImporteraPrislista", QStringLiteral("&Importera prislista…"), {},
             &FrmMain::mnuRegister_ImporteraPrislista_Click);
    addEntry(registers, "mnuRegister_ImporteraKundlista", QStringLiteral("Importera k&undlista…"), {},
             &FrmMain::mnuRegister_ImporteraKundlista_Click);
    addEntry(registers, "mnuRegister_Exportera", QStringLiteral("&Exportera…"), {},
             &FrmMain::mnuRegister_Exportera_Click);

    QMenu* visa = menuBar()->addMenu(QStringLiteral("&Visa"));
    visa->setObjectName(QStringLiteral("mnuVisa"));
    addEntry(visa, "mnuVisa_Produkter", QStringLiteral("Produkter"), Qt::Key_F12, &FrmMain::mnuVisa_Produkter_Click);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Hjälp"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    addEntry(help, "mnuHelp_Varning", QStringLiteral("Felmeddelande"), {}, &FrmMain::mnuHelp_Varning_Click);

    // The context menu: never in the menu bar, shown by a right click over the
    // black background.
    m_mnuPop1 = new QMenu(QStringLiteral("&Popup"), this);
    m_mnuPop1->setObjectName(QStringLiteral("mnuPop1"));
    addEntry(m_mnuPop1, "mnuPlus", QStringLiteral("Lägg till"), {}, &FrmMain::mnuPlus_Click);
    QAction* minus
        = addEntry(m_mnuPop1, "mnuMinus", QStringLiteral("Ta bort"), Qt::Key_Delete, &FrmMain::mnuMinus_Click);
    // Del removes order lines only while the list has the focus; in a text box
    // it still deletes a character.
    minus->setShortcutContext(Qt::WidgetShortcut);
    m_orderLines->addAction(minus);
}

void FrmMain::setupTabOrder()
{
    const QList<QWidget*> order = { m_txt_KundField0, m_txt_KundField1, m_txt_LevDat,  m_txt_OrdDat, m_txt_RegNr,
                                    m_txt_KundField3, m_txt_KundField2, m_txt_LevS,    m_txt_Frkts,  m_txt_Betk,
                                    m_txt_Info,       m_txt_Mkod,       m_txt_OrderNr, m_txt_lpl,    m_orderLines };
    for (int i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order.at(i), order.at(i + 1));
    m_txt_KundField0->setFocus();
}

void FrmMain::setupSpokenNames()
{
    // The captions are the operator's abbreviations; a screen reader says the
    // words, and what each code box takes.
    struct Spoken
    {
        TextBox* box;
        const char* caption;
        const char* name;
        const char* description;
    };
    const Spoken boxes[] = {
        { m_txt_KundField0, "Label1", "Kundnr", "Enter hämtar kundens namn och adress" },
        { m_txt_KundField1, nullptr, "Kundens namn", "" },
        { m_txt_KundField2, nullptr, "Adressrad", "" },
        { m_txt_KundField3, nullptr, "Postadress", "" },
        { m_txt_OrderNr, "Label12", "Ordernr", "" },
        { m_txt_lpl, "Label14", "Lagerplats", "" },
        { m_txt_LevS, "Label8", "Leveranssätt", "Kod för leveranssätt, F4 väljer ur registret" },
        { m_txt_Frkts, "Label9", "Fraktsätt", "Kod för fraktsätt, F5 väljer ur registret" },
        { m_txt_Betk, "Label10", "Betalningsvillkor", "Kod för betalningsvillkor, Data-menyn väljer ur registret" },
        { m_txt_LevDat, "Label5", "Leveransdatum", "Sex siffror, år, månad, dag" },
        { m_txt_OrdDat, "Label6", "Orderdatum", "Sex siffror, år, månad, dag" },
        { m_txt_RegNr, "Label7", "Registreringsnummer", "" },
        { m_txt_Mkod, "Label11", "Momskod", "Kod för momssatsen" },
        { m_txt_Info, "Label13", "Info", "" },
    };
    for (const Spoken& spoken : boxes) {
        QLabel* caption = spoken.caption ? m_bg_pic->findChild<QLabel*>(QLatin1String(spoken.caption)) : nullptr;
        accessible::name(spoken.box, QString::fromUtf8(spoken.name), QString::fromUtf8(spoken.description), caption);
    }
    accessible::name(m_orderLines, QStringLiteral("Orderrader"),
                     QStringLiteral("F12 lägger till en rad, Del tar bort de markerade raderna"),
                     m_bg_pic->findChild<QLabel*>(QStringLiteral("Label16")));
}

void FrmMain::bg_pic_MouseDown(Qt::MouseButton button, const QPoint& globalPos)
{
    if (button == Qt::RightButton)
        m_mnuPop1->popup(globalPos);
}

void FrmMain::showHead()
{
    for (int field = 0; field < core::Order::fieldCount; ++field) {
        TextBox* box = m_boxes[size_t(field)];
        const QString& text = m_order->order().text(Field(field));
        // A box the operator is typing in already shows its text; setting it
        // again would move the cursor.
        if (box->text() != text) {
            const QSignalBlocker noEcho(box);
            box->setText(text);
        }
    }
}

void FrmMain::showCustomerLinesEditable(bool editable)
{
    for (TextBox* line : { m_txt_KundField1, m_txt_KundField2, m_txt_KundField3 })
        line->setReadOnly(!editable);
}

QList<printing::TableColumn> FrmMain::orderLineColumns() const
{
    QList<printing::TableColumn> columns;
    for (int i = 0; i < m_orderLines->columnCount(); ++i)
        columns.append({ m_orderLines->columnCaption(i), m_orderLines->columnWidthTwips(i) });
    return columns;
}

void FrmMain::mnuNy_Click()
{
    if (const std::optional<datafiles::Failure> failure = m_order->startNew())
        MessageBox::reportFailure(this, *failure);
}

void FrmMain::recordOrderNumber()
{
    if (const std::optional<datafiles::Failure> failure = m_order->recordNumber())
        MessageBox::reportFailure(this, *failure);
}

void FrmMain::cmdGetCustomerInfo_Click()
{
    const std::optional<QString> unknown = m_order->lookUpCustomer();
    if (unknown)
        statusBar()->showMessage(
            QStringLiteral("Kundnr %1 finns inte i kundregistret: kontantkunden 1 är hämtad i stället.").arg(*unknown));
    else
        statusBar()->clearMessage();
}

void FrmMain::removeSelectedLines()
{
    const QList<int> chosen = m_orderLines->selectedRows();
    if (chosen.size() > 1
        && !MessageBox::ask(this, QStringLiteral("Ta bort orderrader"),
                            QStringLiteral("Ta bort de %1 markerade orderraderna?").arg(chosen.size())))
        return;
    const std::optional<datafiles::Failure> failure = m_order->removeLines(chosen);
    // The line after the removed ones is chosen, so that Del again removes it.
    const int lines = m_lines->rowCount();
    if (!chosen.isEmpty() && lines > 0)
        chooseLine(qMin(chosen.first(), lines - 1));
    if (failure)
        MessageBox::showErrorBox(this, QStringLiteral("1033,87"), *failure);
}

void FrmMain::chooseLine(int row)
{
    const QModelIndex line = m_lines->index(row, 0);
    m_orderLines->selectionModel()->setCurrentIndex(line,
                                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_orderLines->scrollTo(line);
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event)
{
    // Down with no line chosen chooses the first, wherever the list stood.
    if (watched == m_orderLines && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Down && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier
            && m_lines->rowCount() > 0 && !m_orderLines->selectionModel()->hasSelection()) {
            chooseLine(0);
            return true;
        }
    }
    return OrderWindow::eventFilter(watched, event);
}

void FrmMain::mnuMinus_Click()
{
    removeSelectedLines();
}

void FrmMain::mnuAvsluta_Click()
{
    QApplication::closeAllWindows();
}

void FrmMain::mnuPlus_Click()
{
    mnuVisa_Produkter_Click();
}

void FrmMain::mnuPrint_Click()
{
    // A second printing would list the number twice; it keeps its number, if
    // the operator wants it.
    if (m_order->isRegistered()
        && !MessageBox::ask(
            this, QString(),
            QStringLiteral("Order %1 är redan registrerad. Vill du skriva ut den igen med samma nummer?")
                .arg(m_order->order().text(Field::OrderNumber))))
        return;
    const printjob::PrintOutcome printed
        = printjob::printOrder(m_order->order(), orderLineColumns(), m_order->currentWording(), m_order->data());
    if (printed.setAside)
        MessageBox::reportFailure(this, *printed.setAside);
    if (printed.failure) {
        MessageBox::reportFailure(this, *printed.failure);
        return;
    }
    MessageBox::show(this, MessageBox::Icon::Information, printed.confirmation.title, printed.confirmation.text);
}

void FrmMain::mnuFoljesedel_Click()
{
    const printjob::DeliveryNoteOutcome printed
        = printjob::printDeliveryNote(m_order->order(), orderLineColumns(), m_order->currentWording(), m_order->data());
    if (printed.failure)
        MessageBox::reportFailure(this, *printed.failure);
    else
        MessageBox::show(this, MessageBox::Icon::Information, QString(), printed.confirmation);
}

void FrmMain::mnuForhandsgranska_Click()
{
    const printjob::Preview preview
        = printjob::previewOrder(m_order->order(), orderLineColumns(), m_order->currentWording(), m_order->data());
    if (preview.failure) {
        MessageBox::reportFailure(this, *preview.failure);
        return;
    }
    PdfWindow* shown = m_frmForhandsgranskning.show(
        [] { return PdfWindow::open(PdfWindow::Kind::Preview); },
        [this](PdfWindow* window) { connect(window, &PdfWindow::printRequested, this, &FrmMain::mnuPrint_Click); });
    m_previewRedraw->stop();
    if (const std::optional<datafiles::Failure> failure = shown->showBytes(preview.pdf))
        MessageBox::reportFailure(this, failure->during(QStringLiteral("förhandsgranska ordern")));
}

void FrmMain::redrawPreview()
{
    PdfWindow* shown = m_frmForhandsgranskning.get();
    if (!shown)
        return;
    const printjob::Preview preview
        = printjob::previewOrder(m_order->order(), orderLineColumns(), m_order->currentWording(), m_order->data());
    const std::optional<datafiles::Failure> failure = preview.failure ? preview.failure : shown->showBytes(preview.pdf);
    if (failure) {
        // A preview that no longer shows the order must not stay to be printed.
        shown->close();
        MessageBox::reportFailure(this, failure->during(QStringLiteral("förhandsgranska ordern")));
    }
}

void FrmMain::openRegisterPicker(SingleWindow<RegisterPicker>& picker, core::CodeRegister which)
{
    static const std::array<Field, 3> codeFields { Field::PaymentTerms, Field::DeliveryMethod, Field::FreightMethod };
    const QString current = m_order->order().text(codeFields[size_t(which)]);
    picker.show([&] { return RegisterPicker::open(m_order->data(), which, current, this); },
                [this, which](RegisterPicker* window) {
                    connect(window, &RegisterPicker::codeChosen, m_order,
                            [this, which](const QString& code) { m_order->setCode(which, code); });
                });
}

void FrmMain::mnuData_Betk_Click()
{
    openRegisterPicker(m_frmBetk, core::CodeRegister::PaymentTerms);
}

void FrmMain::mnuData_Levs_Click()
{
    openRegisterPicker(m_frmLevS, core::CodeRegister::DeliveryMethod);
}

void FrmMain::mnuData_Frkts_Click()
{
    openRegisterPicker(m_frmFrkts, core::CodeRegister::FreightMethod);
}

void FrmMain::mnuVisa_Produkter_Click()
{
    m_frmAddProduct.show([this] {
        return FrmAddProduct::open(
            m_order->data(), [this](const core::OrderLine& line) { return m_order->addLines({ line }); }, this);
    });
}

void FrmMain::mnuHamta_Click()
{
    m_frmGetInfo.show([this] { return FrmGetInfo::open(m_order->data(), this); },
                      [this](FrmGetInfo* window) {
                          connect(window, &FrmGetInfo::linesFetched, this,
                                  [this, window](const QList<core::OrderLine>& lines) {
                                      if (const std::optional<datafiles::Failure> failure = m_order->fetchLines(lines))
                                          MessageBox::reportFailure(window, *failure);
                                  });
                      });
}

void FrmMain::mnuHelp_Varning_Click()
{
    m_frmVarning.show([this] { return FrmVarning::open(m_order->data()); });
}

void FrmMain::mnuOrderhistorik_Click()
{
    m_frmOrderhistorik.show([this] { return FrmOrderHistory::open(m_order->data(), m_order->clock(), this); },
                            [this](FrmOrderHistory* window) {
                                connect(window, &FrmOrderHistory::newOrderFrom, this, &FrmMain::newOrderFrom);
                                connect(window, &FrmOrderHistory::emailAddressWanted, this, &FrmMain::addEmailAddress);
                            });
}

void FrmMain::newOrderFrom(const core::Order& printed)
{
    if (const std::optional<datafiles::Failure> failure = m_order->startFrom(printed)) {
        MessageBox::reportFailure(this, *failure);
        return;
    }
    m_frmOrderhistorik.close();
    raise();
    activateWindow();
}

void FrmMain::addEmailAddress(const core::Customer& customer)
{
    mnuRegister_Kunder_Click();
    if (FrmKunder* customers = m_frmKunder.get())
        customers->addEmailAddress(customer);
}

void FrmMain::mnuRegister_Kunder_Click()
{
    m_frmKunder.show([this] { return FrmKunder::open(m_order->data(), this); });
}

void FrmMain::mnuRegister_Produkter_Click()
{
    m_frmProduktregister.show([this] { return FrmProduktregister::open(m_order->data(), this); });
}

void FrmMain::openCodeRegister(SingleWindow<FrmKodregister>& window, core::CodeRegister which)
{
    window.show([&] { return FrmKodregister::open(m_order->data(), which, this); });
}

void FrmMain::mnuRegister_Betk_Click()
{
    openCodeRegister(m_frmBetkRegister, core::CodeRegister::PaymentTerms);
}

void FrmMain::mnuRegister_Levs_Click()
{
    openCodeRegister(m_frmLevSRegister, core::CodeRegister::DeliveryMethod);
}

void FrmMain::mnuRegister_Frkts_Click()
{
    openCodeRegister(m_frmFrktsRegister, core::CodeRegister::FreightMethod);
}

void FrmMain::openImport(SingleWindow<FrmImport>& window, bool priceList)
{
    // An import under way is brought to the front; a new one starts with its file.
    if (window.get()) {
        window.show([] { return nullptr; });
        return;
    }
    const QString file = FileDialog::openFile(
        this, priceList ? QStringLiteral("Importera prislista") : QStringLiteral("Importera kundlista"), QString(),
        QStringLiteral("Listor (*.csv *.txt);;Alla filer (*)"));
    if (file.isEmpty())
        return;
    const FrmImport::Kind kind = priceList ? FrmImport::Kind::PriceList : FrmImport::Kind::CustomerList;
    window.show([&] { return FrmImport::open(m_order->data(), kind, file, this); },
                [this, priceList](FrmImport* import) {
                    connect(import, &FrmImport::registerChanged, this, [this, priceList] {
                        if (priceList && m_frmProduktregister.get())
                            m_frmProduktregister.get()->reload();
                        if (!priceList && m_frmKunder.get())
                            m_frmKunder.get()->reload();
                    });
                });
}

void FrmMain::mnuRegister_ImporteraPrislista_Click()
{
    openImport(m_frmImportPrislista, true);
}

void FrmMain::mnuRegister_ImporteraKundlista_Click()
{
    openImport(m_frmImportKundlista, false);
}

void FrmMain::mnuRegister_Foretaget_Click()
{
    m_frmForetaget.show([this] { return FrmForetaget::open(m_order->data(), this); });
}

void FrmMain::mnuRegister_Exportera_Click()
{
    m_registerExport.show([this] { return FrmRegisterExport::open(m_order->data()); });
}

void FrmMain::showBackupReminder()
{
    const BackupReminder reminder = backupReminder(remembered::lastBackup(m_order->data()), m_order->today());
    m_mnuSakerhetskopiera->setText(reminder.caption);
    QIcon flag;
    if (reminder.overdue) {
        // A small red flag on its pole.
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.fillRect(3, 1, 2, 14, Qt::darkGray);
        painter.fillRect(5, 2, 9, 7, QColor(204, 0, 0));
        flag = QIcon(pixmap);
    }
    m_mnuSakerhetskopiera->setIcon(flag);
    m_mnuSakerhetskopiera->setToolTip(reminder.overdue ? QStringLiteral("Det är mer än en vecka sedan datamappen "
                                                                        "säkerhetskopierades.")
                                                       : QString());
}

void FrmMain::mnuExportera_Click()
{
    m_orderExport.show([this] { return FrmOrderExport::open(m_order->data(), m_order->today()); });
}

void FrmMain::mnuSakerhetskopiera_Click()
{
    backUpData(this, m_order->data(), m_order->clock()());
    showBackupReminder();
}

void FrmMain::mnuAterstall_Click()
{
    const QString archive
        = FileDialog::openFile(this, QStringLiteral("Återställ från säkerhetskopia"), remembered::backupFolder(),
                               QStringLiteral("Säkerhetskopior (*.zip);;Alla filer (*)"));
    if (archive.isEmpty())
        return;
    // Another backup chosen: the window shows that one.
    delete m_frmAterstall.get();
    m_frmAterstall.show(
        [&] { return FrmAterstall::open(m_order->data(), archive, m_order->clock(), this); },
        [this](FrmAterstall* window) { connect(window, &FrmAterstall::restored, this, &OrderWindow::dataRestored); });
}
