#include "registerpicker.h"

#include "widgets/accessible.h"
#include "widgets/controls.h"
#include "widgets/filewatch.h"
#include "widgets/look.h"
#include "widgets/messagebox.h"
#include "widgets/reportlistview.h"
#include "widgets/twips.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

struct RegisterPicker::Instance
{
    const char* objectName;
    const char* caption;
    const char* frameCaption;
    bool cancelBeforeOk; // in the focus order after the list
};

namespace {

// Client area of the window, in twips.
constexpr int clientWidth = 6255;
constexpr int clientHeight = 4695;

const QColor descriptionColour(0, 0, 128);

} // namespace

const RegisterPicker::Instance& RegisterPicker::instance(Register which)
{
    static const Instance paymentTerms { "frmBetk", "Betalningsvillkor", "Nuvarande betalningsvillkor", false };
    static const Instance deliveryMethod { "frmLevS", "Leveranssätt", "Nuvarande leveranssätt", true };
    static const Instance freightMethod { "frmFrkts", "Fraktsätt", "Nuvarande fraktsätt", false };
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

RegisterPicker* RegisterPicker::open(const datafiles::DataDirectory& data, Register which, const QString& currentCode,
                                     QWidget* parent)
{
    const core::RegisterRead read = core::readRegister(data, which);
    if (read.failure) {
        MessageBox::reportFailure(parent, *read.failure);
        return nullptr;
    }
    auto* picker = new RegisterPicker(which, instance(which));
    picker->Form_Load(currentCode, read.rows);
    if (read.cutShort)
        MessageBox::reportFailure(parent, *read.cutShort);
    auto* watch = new FileWatch(picker, { core::registerFile(data, which) });
    connect(watch, &FileWatch::changed, picker, [picker, watch, data] {
        watch->markRead();
        picker->readAgain(data);
    });
    return picker;
}

RegisterPicker::RegisterPicker(Register which, const Instance& instance)
    : QWidget(nullptr)
    , m_which(which)
    , m_instance(instance)
{
    setObjectName(QLatin1String(instance.objectName));
    setWindowTitle(QString::fromUtf8(instance.caption));
    // A fixed dialog frame without minimise and maximise buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(look::sansSerif(8.25, false));
    setupControls();

    setFixedSize(twipsToPixels(clientWidth), twipsToPixels(clientHeight));
    look::placeOnScreen(*this, size());
}

void RegisterPicker::setupControls()
{
    m_codeList = new ReportListView(this);
    m_codeList->setObjectName(QStringLiteral("ListView1"));
    m_codeList->setGeometry(twipsRect(120, 120, 6015, 2775));
    m_codeList->setColumns({ { QStringLiteral("ID"), 800 }, { QStringLiteral("Beskrivning"), 4000 } });
    m_codeList->installEventFilter(this);
    m_codeList->viewport()->installEventFilter(this);
    accessible::name(m_codeList, QString::fromUtf8(m_instance.caption),
                     QStringLiteral("Enter väljer raden, Escape avbryter"));

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

    m_okButton = new QPushButton(QStringLiteral("&OK"), this);
    m_okButton->setObjectName(QStringLiteral("Command1"));
    m_okButton->setGeometry(twipsRect(3840, 4200, 1095, 375));
    m_cancelButton = new QPushButton(QStringLiteral("&Avbryt"), this);
    m_cancelButton->setObjectName(QStringLiteral("Command2"));
    m_cancelButton->setGeometry(twipsRect(5040, 4200, 1095, 375));
    // Enter on a button that has the focus presses it.
    for (QPushButton* button : { m_okButton, m_cancelButton })
        button->setAutoDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &RegisterPicker::chooseCode);
    connect(m_cancelButton, &QPushButton::clicked, this, &RegisterPicker::cancel);
    closeOnEscape(this, &RegisterPicker::cancel);

    QPushButton* second = m_instance.cancelBeforeOk ? m_cancelButton : m_okButton;
    QPushButton* third = m_instance.cancelBeforeOk ? m_okButton : m_cancelButton;
    setTabOrder(m_codeList, second);
    setTabOrder(second, third);
    m_codeList->setFocus();
}

void RegisterPicker::Form_Load(const QString& currentCode, const QList<core::RegisterRow>& rows)
{
    m_lbl_old->setText(currentCode);
    m_codeList->enableFullRowSelect();
    listRows(rows);
}

void RegisterPicker::readAgain(const datafiles::DataDirectory& data)
{
    const core::RegisterRead read = core::readRegister(data, m_which);
    if (!read.failure)
        listRows(read.rows);
}

void RegisterPicker::listRows(const QList<core::RegisterRow>& rows)
{
    m_codeList->reportModel()->clear();
    m_lbl_old_id->clear();
    QList<QStringList> texts;
    texts.reserve(rows.size());
    for (const core::RegisterRow& row : rows)
        texts.append({ row.id, row.description });
    m_codeList->reportModel()->appendRows(texts);

    // An order without a code has no current value to show; every ID would
    // begin with the empty text.
    const QString current = m_lbl_old->text();
    const int row = current.isEmpty() ? -1 : m_codeList->findFirstStartingWith(current);
    if (row < 0)
        return;
    m_codeList->selectRowWithoutScrolling(row);
    m_lbl_old_id->setText(m_codeList->reportModel()->rowTexts(row).at(1));
}

void RegisterPicker::chooseCode()
{
    const int row = m_codeList->firstSelectedRow();
    if (row < 0) {
        MessageBox::show(this, MessageBox::Icon::Information, {},
                         QStringLiteral("Välj en rad i listan och klicka sedan på OK."));
        return;
    }
    const QString code = m_codeList->reportModel()->rowTexts(row).at(0);
    emit codeChosen(code);
    close();
}

void RegisterPicker::cancel()
{
    close();
}

bool RegisterPicker::eventFilter(QObject* watched, QEvent* event)
{
    // Enter on the list, or a double click on a row, is "OK".
    if (watched == m_codeList && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            chooseCode();
            return true;
        }
    } else if (watched == m_codeList->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto* click = static_cast<QMouseEvent*>(event);
        const QModelIndex row = m_codeList->indexAt(click->position().toPoint());
        if (click->button() == Qt::LeftButton && row.isValid()) {
            m_codeList->selectRowWithoutScrolling(row.row());
            chooseCode();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
