#include "registerpicker.h"

#include "datafiles/records.h"
#include "datafiles/textfile.h"
#include "orderwindow/frmmain.h"
#include "orderwindow/look.h"
#include "orderwindow/reportlistview.h"
#include "orderwindow/textbox.h"
#include "orderwindow/twips.h"
#include "retrieval/messagebox.h"

#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

QList<QStringList> registerRows(QByteArrayView bytes, bool* endsInsideRecord)
{
    return datafiles::readRecords(bytes, 2, endsInsideRecord);
}

std::optional<QString> registerDescription(QByteArrayView bytes, const QString& code)
{
    const datafiles::RecordTable table = datafiles::RecordTable::parse(bytes.toByteArray(), 2);
    for (qsizetype r = 0; r < table.recordCount(); ++r) {
        if (table.field(r, 0) == code)
            return table.field(r, 1);
    }
    return std::nullopt;
}

struct RegisterPicker::Instance
{
    const char* objectName;
    const char* caption;
    QString (datafiles::DataDirectory::*registerFile)() const;
    TextBox* (FrmMain::*orderBox)() const;
    const char* frameCaption;
    bool cancelBeforeOk; // in the focus order after the list
    const char* readOperation;
};

namespace {

// Client area of the window, in twips.
constexpr int clientWidth = 6255;
constexpr int clientHeight = 4695;

const QColor descriptionColour(0, 0, 128);

} // namespace

const RegisterPicker::Instance& RegisterPicker::instance(Register which)
{
    static const Instance paymentTerms { "frmBetk",
                                         "Betalningsvillkor",
                                         &datafiles::DataDirectory::paymentTermsRegister,
                                         &FrmMain::txt_Betk,
                                         "Nuvarande betalningsvillkor",
                                         false,
                                         "läsa registret över betalningsvillkor" };
    static const Instance deliveryMethod { "frmLevS",
                                           "Leveranssätt",
                                           &datafiles::DataDirectory::deliveryMethodRegister,
                                           &FrmMain::txt_LevS,
                                           "Nuvarande leveranssätt",
                                           true,
                                           "läsa registret över leveranssätt" };
    static const Instance freightMethod { "frmFrkts",
                                          "Fraktsätt",
                                          &datafiles::DataDirectory::freightMethodRegister,
                                          &FrmMain::txt_Frkts,
                                          "Nuvarande fraktsätt",
                                          false,
                                          "läsa registret över fraktsätt" };
    switch (which) {
    case Register::PaymentTerms:
        return paymentTerms;
    case Register::DeliveryMethod:
        return deliveryMethod;
    case Register::FreightMethod:
        break;
    }
    return freightMethod;
}

RegisterPicker* RegisterPicker::create(FrmMain& order, Register which)
{
    const Instance& kind = instance(which);
    const QString path = (order.dataDirectory().*kind.registerFile)();
    const datafiles::ReadResult file = datafiles::readWholeFile(path);
    if (!file.ok()) {
        MessageBox::reportFailure(&order, QString::fromUtf8(kind.readOperation), path, file.error);
        return nullptr;
    }

    bool endsInsideRecord = false;
    const QList<QStringList> rows = registerRows(file.bytes, &endsInsideRecord);
    auto* picker = new RegisterPicker(order, kind);
    picker->Form_Load(rows);
    if (endsInsideRecord) {
        MessageBox::show(&order, MessageBox::Icon::Information, {},
                         QStringLiteral("Registret %1 slutar mitt i en rad: den sista raden saknar ID eller "
                                        "beskrivning och visas inte. Övriga rader visas.")
                             .arg(QDir::toNativeSeparators(path)));
    }
    return picker;
}

RegisterPicker::RegisterPicker(FrmMain& order, const Instance& instance)
    : QWidget(nullptr)
    , m_order(order)
    , m_instance(instance)
{
    setObjectName(QLatin1String(instance.objectName));
    setWindowTitle(QString::fromUtf8(instance.caption));
    // A fixed dialog frame without minimise and maximise buttons. A plain
    // widget rather than a dialog, so that Escape and Enter do nothing.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(look::sansSerif(8.25, false));
    setupControls();

    setFixedSize(twipsToPixels(clientWidth), twipsToPixels(clientHeight));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void RegisterPicker::setupControls()
{
    m_ListView1 = new ReportListView(this);
    m_ListView1->setObjectName(QStringLiteral("ListView1"));
    m_ListView1->setGeometry(twipsRect(120, 120, 6015, 2775));
    m_ListView1->setColumns({ { QStringLiteral("ID"), 800 }, { QStringLiteral("Beskrivning"), 4000 } });

    m_Frame1 = new QGroupBox(QString::fromUtf8(m_instance.frameCaption), this);
    m_Frame1->setObjectName(QStringLiteral("Frame1"));
    m_Frame1->setGeometry(twipsRect(120, 3000, 6015, 855));

    m_lbl_old = new QLabel(m_Frame1);
    m_lbl_old->setObjectName(QStringLiteral("lbl_old"));
    m_lbl_old->setGeometry(twipsRect(240, 360, 615, 255));
    m_lbl_old->setVisible(false);

    m_lbl_old_id = new QLabel(m_Frame1);
    m_lbl_old_id->setObjectName(QStringLiteral("lbl_old_id"));
    m_lbl_old_id->setGeometry(twipsRect(240, 360, 5565, 315));
    m_lbl_old_id->setTextFormat(Qt::PlainText);
    QFont underlined = look::sansSerif(8.25, false);
    underlined.setUnderline(true);
    m_lbl_old_id->setFont(underlined);
    QPalette palette = m_lbl_old_id->palette();
    palette.setColor(QPalette::WindowText, descriptionColour);
    m_lbl_old_id->setPalette(palette);

    m_Command1 = new QPushButton(QStringLiteral("OK"), this);
    m_Command1->setObjectName(QStringLiteral("Command1"));
    m_Command1->setGeometry(twipsRect(3840, 4200, 1095, 375));
    m_Command2 = new QPushButton(QStringLiteral("Avbryt"), this);
    m_Command2->setObjectName(QStringLiteral("Command2"));
    m_Command2->setGeometry(twipsRect(5040, 4200, 1095, 375));
    for (QPushButton* button : { m_Command1, m_Command2 }) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(m_Command1, &QPushButton::clicked, this, &RegisterPicker::Command1_Click);
    connect(m_Command2, &QPushButton::clicked, this, &RegisterPicker::Command2_Click);

    QPushButton* second = m_instance.cancelBeforeOk ? m_Command2 : m_Command1;
    QPushButton* third = m_instance.cancelBeforeOk ? m_Command1 : m_Command2;
    setTabOrder(m_ListView1, second);
    setTabOrder(second, third);
    m_ListView1->setFocus();
}

TextBox* RegisterPicker::orderBox() const
{
    return (m_order.*m_instance.orderBox)();
}

void RegisterPicker::Form_Load(const QList<QStringList>& rows)
{
    m_lbl_old->setText(orderBox()->text());
    m_ListView1->enableFullRowSelect();
    m_ListView1->reportModel()->appendRows(rows);

    // An order without a code has no current value to show; every ID would
    // begin with the empty text.
    const QString current = m_lbl_old->text();
    const int row = current.isEmpty() ? -1 : m_ListView1->findFirstStartingWith(current);
    if (row < 0)
        return;
    m_ListView1->selectRowWithoutScrolling(row);
    m_lbl_old_id->setText(m_ListView1->reportModel()->rowTexts(row).at(1));
}

void RegisterPicker::Command1_Click()
{
    const int row = m_ListView1->firstSelectedRow();
    if (row < 0) {
        MessageBox::show(this, MessageBox::Icon::Information, {},
                         QStringLiteral("Välj en rad i listan och klicka sedan på OK."));
        return;
    }
    orderBox()->setText(m_ListView1->reportModel()->rowTexts(row).at(0));
    close();
}

void RegisterPicker::Command2_Click()
{
    close();
}
