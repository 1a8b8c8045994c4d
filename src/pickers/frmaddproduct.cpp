#include "frmaddproduct.h"

#include "order/lineamounts.h"
#include "order/registers.h"
#include "widgets/accessible.h"
#include "widgets/controls.h"
#include "widgets/look.h"
#include "widgets/messagebox.h"
#include "widgets/productregistermodel.h"
#include "widgets/reportlistview.h"
#include "widgets/textbox.h"
#include "widgets/twips.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {

// Client area of the window, in twips.
constexpr int clientWidth = 10695;
constexpr int clientHeight = 4215;

// A key that types characters, rather than moving, choosing or commanding.
bool typesText(const QKeyEvent& key)
{
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = key.text();
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); });
}

} // namespace

FrmAddProduct* FrmAddProduct::open(const datafiles::DataDirectory& data, TakeLine take, QWidget* parent)
{
    core::ProductsRead read = core::readProducts(data);
    if (read.failure) {
        MessageBox::reportFailure(parent, *read.failure);
        return nullptr;
    }
    auto* window = new FrmAddProduct(std::move(read.products), std::move(take));
    if (read.cutShort)
        MessageBox::reportFailure(parent, *read.cutShort);
    return window;
}

FrmAddProduct::FrmAddProduct(datafiles::RecordTable products, TakeLine take)
    : QWidget(nullptr)
    , m_take(std::move(take))
{
    setObjectName(QStringLiteral("frmAddProduct"));
    setWindowTitle(QStringLiteral("Produkter"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(look::sansSerif(8.25, false));
    setFixedSize(twipsToPixels(clientWidth), twipsToPixels(clientHeight));

    m_products = new ProductRegisterModel(std::move(products), core::ProductIndex::Words::ArticleOnly, this);
    setupControls();
    setupTabOrder();
    recomputeLineAmount();

    look::placeOnScreen(*this, size());
}

TextBox* FrmAddProduct::addTextBox(const char* name, int left, int top, int width, int height, bool readOnly)
{
    auto* box = new TextBox(this);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(twipsRect(left, top, width, height));
    box->setTextMargins(0, 0, 0, 0);
    if (readOnly) {
        box->setReadOnly(true);
        QPalette p = box->palette();
        p.setColor(QPalette::Base, p.color(QPalette::Button));
        box->setPalette(p);
    }
    return box;
}

QLabel* FrmAddProduct::addLabel(const char* name, const QString& caption, int left, int top, int width, int height)
{
    auto* label = new QLabel(caption, this);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(twipsRect(left, top, width, height));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

void FrmAddProduct::setupControls()
{
    m_ListView1 = new ReportListView(this);
    m_ListView1->setObjectName(QStringLiteral("ListView1"));
    m_ListView1->setGeometry(twipsRect(120, 120, 10455, 2655));
    m_ListView1->setModel(m_products);
    m_ListView1->setDesignWidths({ 1440, 3000, 600, 1000 });
    m_ListView1->enableFullRowSelect();
    m_ListView1->installEventFilter(this);
    m_ListView1->viewport()->installEventFilter(this);

    QLabel* label1 = addLabel("Label1", QStringLiteral("Artikelnummer"), 120, 2880, 1815, 240);
    QLabel* label2 = addLabel("Label2", QStringLiteral("Benämning"), 2040, 2880, 4215, 240);
    QLabel* label3 = addLabel("Label3", QStringLiteral("Enhet"), 6360, 2880, 975, 240);
    QLabel* label4 = addLabel("Label4", QStringLiteral("A-pris"), 7440, 2880, 975, 240);
    QLabel* label5 = addLabel("Label5", QStringLiteral("Antal"), 8520, 2880, 975, 240);
    QLabel* label6 = addLabel("Label6", QStringLiteral("Rab %"), 9600, 2880, 975, 240);

    m_Text1 = addTextBox("Text1", 120, 3120, 1815, 285, false);
    m_Text2 = addTextBox("Text2", 2040, 3120, 4215, 285, true);
    m_Text3 = addTextBox("Text3", 6360, 3120, 975, 285, true);
    m_Text4 = addTextBox("Text4", 7440, 3120, 975, 285, true);
    m_Text5 = addTextBox("Text5", 8520, 3120, 975, 285, false);
    m_Text6 = addTextBox("Text6", 9600, 3120, 975, 285, false);
    accessible::label(label1, m_Text1, QStringLiteral("Enter söker den första produkten vars artikelnummer börjar så"));
    accessible::label(label2, m_Text2);
    accessible::label(label3, m_Text3);
    accessible::label(label4, m_Text4);
    accessible::label(label5, m_Text5, QStringLiteral("Enter lägger till raden i ordern"));
    accessible::name(m_Text6, QStringLiteral("Rabatt i procent"), QStringLiteral("Enter lägger till raden i ordern"),
                     label6);
    accessible::name(m_ListView1, QStringLiteral("Produkter"),
                     QStringLiteral("Enter tar produkten till raden; det du skriver söker på artikelnummer"));

    // The etched line between the line being built and its amount.
    const int separator = twipsToPixels(3600);
    auto* shape1 = new LineShape(palette().color(QPalette::Dark), 1, false, this);
    shape1->setObjectName(QStringLiteral("Shape1"));
    shape1->setGeometry(0, separator, width(), 2);
    auto* shape2 = new LineShape(Qt::white, 1, false, this);
    shape2->setObjectName(QStringLiteral("Shape2"));
    shape2->setGeometry(0, separator + 2, width(), 1);

    m_Text7 = addTextBox("Text7", 120, 3720, 1095, 285, true);
    m_Text7->setFrame(false);
    accessible::name(m_Text7, QStringLiteral("Radsumma"));

    m_lbl_sum1 = addLabel("lbl_sum1", QString(), 2400, 3720, 975, 255);
    m_lbl_sum1->setVisible(false);
    m_lbl_sum2 = addLabel("lbl_sum2", QString(), 3480, 3720, 975, 255);
    m_lbl_sum2->setVisible(false);

    // Enter in the article-number box searches; the hidden "Sök" button carries
    // the same search as its click.
    m_cmdSok = new QPushButton(QStringLiteral("Sök"), this);
    m_cmdSok->setObjectName(QStringLiteral("cmdSök"));
    m_cmdSok->setGeometry(twipsRect(4560, 3720, 1335, 255));
    m_cmdSok->setVisible(false);
    connect(m_cmdSok, &QPushButton::clicked, this, &FrmAddProduct::cmdSok_Click);
    connect(m_Text1, &QLineEdit::returnPressed, this, &FrmAddProduct::cmdSok_Click);

    m_Command1 = new QPushButton(QStringLiteral("OK"), this);
    m_Command1->setObjectName(QStringLiteral("Command1"));
    m_Command1->setGeometry(twipsRect(8280, 3720, 1095, 375));
    m_Command2 = new QPushButton(QStringLiteral("Avbryt"), this);
    m_Command2->setObjectName(QStringLiteral("Command2"));
    m_Command2->setGeometry(twipsRect(9480, 3720, 1095, 375));
    // Enter on a button that has the focus presses it, so the whole line can be
    // entered from the keyboard.
    for (QPushButton* button : { m_Command1, m_Command2 })
        button->setAutoDefault(true);
    connect(m_Command1, &QPushButton::clicked, this, &FrmAddProduct::Command1_Click);
    connect(m_Command2, &QPushButton::clicked, this, &FrmAddProduct::Command2_Click);
    closeOnEscape(this, &FrmAddProduct::Command2_Click);

    for (TextBox* input : { m_Text4, m_Text5, m_Text6 })
        connect(input, &QLineEdit::textChanged, this, &FrmAddProduct::recomputeLineAmount);
    for (TextBox* typed : { m_Text5, m_Text6 }) {
        connect(typed, &QLineEdit::textEdited, this, [this, typed] { typeDecimalPoints(typed); });
        // The quantity or the discount typed, Enter adds the line.
        connect(typed, &QLineEdit::returnPressed, m_Command1, &QPushButton::click);
    }
}

void FrmAddProduct::setupTabOrder()
{
    const QList<QWidget*> order
        = { m_ListView1, m_Text1, m_Text2, m_Text3, m_Text4, m_Text5, m_Text6, m_Command1, m_Command2, m_Text7 };
    for (int i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order.at(i), order.at(i + 1));
    m_ListView1->setFocus();
}

void FrmAddProduct::typeDecimalPoints(TextBox* box)
{
    const QString typed = box->text();
    const QString stored = core::withDecimalPoints(typed);
    if (stored == typed)
        return;
    const int cursor = box->cursorPosition();
    box->setText(stored);
    box->setCursorPosition(cursor);
}

void FrmAddProduct::recomputeLineAmount()
{
    const core::LineAmounts amounts = core::lineAmounts(m_Text4->text(), m_Text5->text(), m_Text6->text());
    m_lbl_sum1->setText(amounts.gross);
    m_lbl_sum2->setText(amounts.discount);
    m_Text7->setText(amounts.line);
}

void FrmAddProduct::cmdSok_Click()
{
    const int row = m_products->findFirstArticleStartingWith(m_Text1->text());
    if (row < 0) {
        MessageBox::show(this, MessageBox::Icon::None, QString(), QStringLiteral("Listposten hittades inte!"));
        return;
    }
    // The operator takes the row over with a click or Enter, so it must be in
    // sight however long the register is.
    m_ListView1->selectRowInSight(row);
    m_ListView1->setFocus();
}

void FrmAddProduct::ListView1_Click()
{
    const int row = m_ListView1->firstSelectedRow();
    if (row < 0)
        return;
    const QStringList product = m_products->product(row);
    m_Text1->setText(product.at(0));
    m_Text2->setText(product.at(1));
    m_Text3->setText(product.at(2));
    m_Text4->setText(product.at(3));
    // What the operator types next is the quantity.
    m_Text5->setFocus(Qt::OtherFocusReason);
    m_Text5->selectAll();
}

void FrmAddProduct::Command1_Click()
{
    core::OrderLine line;
    const TextBox* boxes[] = { m_Text1, m_Text2, m_Text3, m_Text4, m_Text5, m_Text6, m_Text7 };
    for (int i = 0; i < core::OrderLine::columnCount; ++i)
        line.texts[size_t(i)] = boxes[i]->text();
    if (const std::optional<datafiles::Failure> failure = m_take(line)) {
        // A link in the basket's place is no fault of the program's: the
        // operator is told which file it is, so that it can be taken away.
        if (failure->is(datafiles::FailureKind::LinkRefused))
            MessageBox::reportFailure(this, *failure);
        else
            MessageBox::showErrorBox(this, QStringLiteral("1001,06"), *failure);
        return;
    }

    for (TextBox* box : { m_Text1, m_Text2, m_Text3, m_Text4, m_Text5, m_Text6, m_Text7 })
        box->clear();
    close();
}

void FrmAddProduct::Command2_Click()
{
    close();
}

bool FrmAddProduct::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ListView1->viewport() && event->type() == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            ListView1_Click();
    } else if (watched == m_ListView1 && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            ListView1_Click();
            return true;
        }
        // The list has the focus when the picker opens, and the operator starts
        // typing the article number at once: it goes into its box.
        if (typesText(*key)) {
            m_Text1->setFocus(Qt::OtherFocusReason);
            m_Text1->end(false);
            QCoreApplication::sendEvent(m_Text1, key);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
