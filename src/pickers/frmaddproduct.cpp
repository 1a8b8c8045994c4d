#include "frmaddproduct.h"

#include "order/lineamounts.h"
#include "order/registers.h"
#include "widgets/accessible.h"
#include "widgets/controls.h"
#include "widgets/filewatch.h"
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
    core::RecordsRead read = core::readProducts(data);
    if (read.failure) {
        MessageBox::reportFailure(parent, *read.failure);
        return nullptr;
    }
    auto* window = new FrmAddProduct(std::move(read.records), std::move(take));
    if (read.cutShort)
        MessageBox::reportFailure(parent, *read.cutShort);
    // Another desk's change to the register is listed while the window is open.
    auto* watch = new FileWatch(window, { data.productRegister() });
    connect(watch, &FileWatch::changed, window, [window, watch, data] {
        watch->markRead();
        core::RecordsRead again = core::readProducts(data);
        if (!again.failure)
            window->m_products->replaceProducts(std::move(again.records));
    });
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
    m_productList = new ReportListView(this);
    m_productList->setObjectName(QStringLiteral("ListView1"));
    m_productList->setGeometry(twipsRect(120, 120, 10455, 2655));
    m_productList->setModel(m_products);
    m_productList->setDesignWidths({ 1440, 3000, 600, 1000 });
    m_productList->enableFullRowSelect();
    m_productList->installEventFilter(this);
    m_productList->viewport()->installEventFilter(this);

    QLabel* label1 = addLabel("Label1", QStringLiteral("Artikelnummer"), 120, 2880, 1815, 240);
    QLabel* label2 = addLabel("Label2", QStringLiteral("Benämning"), 2040, 2880, 4215, 240);
    QLabel* label3 = addLabel("Label3", QStringLiteral("Enhet"), 6360, 2880, 975, 240);
    QLabel* label4 = addLabel("Label4", QStringLiteral("A-pris"), 7440, 2880, 975, 240);
    QLabel* label5 = addLabel("Label5", QStringLiteral("Antal"), 8520, 2880, 975, 240);
    QLabel* label6 = addLabel("Label6", QStringLiteral("Rab %"), 9600, 2880, 975, 240);

    m_articleNumber = addTextBox("Text1", 120, 3120, 1815, 285, false);
    m_description = addTextBox("Text2", 2040, 3120, 4215, 285, true);
    m_unit = addTextBox("Text3", 6360, 3120, 975, 285, true);
    m_unitPrice = addTextBox("Text4", 7440, 3120, 975, 285, true);
    m_quantity = addTextBox("Text5", 8520, 3120, 975, 285, false);
    m_discount = addTextBox("Text6", 9600, 3120, 975, 285, false);
    accessible::label(label1, m_articleNumber,
                      QStringLiteral("Enter söker den första produkten vars artikelnummer börjar så"));
    accessible::label(label2, m_description);
    accessible::label(label3, m_unit);
    accessible::label(label4, m_unitPrice);
    accessible::label(label5, m_quantity, QStringLiteral("Enter lägger till raden i ordern"));
    accessible::name(m_discount, QStringLiteral("Rabatt i procent"), QStringLiteral("Enter lägger till raden i ordern"),
                     label6);
    accessible::name(m_productList, QStringLiteral("Produkter"),
                     QStringLiteral("Enter tar produkten till raden; det du skriver söker på artikelnummer"));

    // The etched line between the line being built and its amount.
    const int separator = twipsToPixels(3600);
    auto* shape1 = new LineShape(palette().color(QPalette::Dark), 1, false, this);
    shape1->setObjectName(QStringLiteral("Shape1"));
    shape1->setGeometry(0, separator, width(), 2);
    auto* shape2 = new LineShape(Qt::white, 1, false, this);
    shape2->setObjectName(QStringLiteral("Shape2"));
    shape2->setGeometry(0, separator + 2, width(), 1);

    m_lineAmount = addTextBox("Text7", 120, 3720, 1095, 285, true);
    m_lineAmount->setFrame(false);
    accessible::name(m_lineAmount, QStringLiteral("Radsumma"));

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
    connect(m_articleNumber, &QLineEdit::returnPressed, this, &FrmAddProduct::cmdSok_Click);

    m_okButton = new QPushButton(QStringLiteral("&OK"), this);
    m_okButton->setObjectName(QStringLiteral("Command1"));
    m_okButton->setGeometry(twipsRect(8280, 3720, 1095, 375));
    m_cancelButton = new QPushButton(QStringLiteral("&Avbryt"), this);
    m_cancelButton->setObjectName(QStringLiteral("Command2"));
    m_cancelButton->setGeometry(twipsRect(9480, 3720, 1095, 375));
    // Enter on a button that has the focus presses it, so the whole line can be
    // entered from the keyboard.
    for (QPushButton* button : { m_okButton, m_cancelButton })
        button->setAutoDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &FrmAddProduct::addLine);
    connect(m_cancelButton, &QPushButton::clicked, this, &FrmAddProduct::cancel);
    closeOnEscape(this, &FrmAddProduct::cancel);

    for (TextBox* input : { m_unitPrice, m_quantity, m_discount })
        connect(input, &QLineEdit::textChanged, this, &FrmAddProduct::recomputeLineAmount);
    for (TextBox* typed : { m_quantity, m_discount }) {
        connect(typed, &QLineEdit::textEdited, this, [this, typed] { typeDecimalPoints(typed); });
        // The quantity or the discount typed, Enter adds the line.
        connect(typed, &QLineEdit::returnPressed, m_okButton, &QPushButton::click);
    }
}

void FrmAddProduct::setupTabOrder()
{
    const QList<QWidget*> order = { m_productList, m_articleNumber, m_description, m_unit,         m_unitPrice,
                                    m_quantity,    m_discount,      m_okButton,    m_cancelButton, m_lineAmount };
    for (int i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order.at(i), order.at(i + 1));
    m_productList->setFocus();
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
    const core::LineAmounts amounts = core::lineAmounts(m_unitPrice->text(), m_quantity->text(), m_discount->text());
    m_lbl_sum1->setText(amounts.gross);
    m_lbl_sum2->setText(amounts.discount);
    m_lineAmount->setText(amounts.line);
}

void FrmAddProduct::cmdSok_Click()
{
    const int row = m_products->findFirstArticleStartingWith(m_articleNumber->text());
    if (row < 0) {
        MessageBox::show(this, MessageBox::Icon::None, QString(), QStringLiteral("Listposten hittades inte!"));
        return;
    }
    // The operator takes the row over with a click or Enter, so it must be in
    // sight however long the register is.
    m_productList->selectRowInSight(row);
    m_productList->setFocus();
}

void FrmAddProduct::takeChosenProduct()
{
    const int row = m_productList->firstSelectedRow();
    if (row < 0)
        return;
    const QStringList product = m_products->product(row);
    m_articleNumber->setText(product.at(0));
    m_description->setText(product.at(1));
    m_unit->setText(product.at(2));
    m_unitPrice->setText(product.at(3));
    // What the operator types next is the quantity.
    m_quantity->setFocus(Qt::OtherFocusReason);
    m_quantity->selectAll();
}

void FrmAddProduct::addLine()
{
    core::OrderLine line;
    TextBox* const boxes[]
        = { m_articleNumber, m_description, m_unit, m_unitPrice, m_quantity, m_discount, m_lineAmount };
    for (int i = 0; i < core::OrderLine::columnCount; ++i)
        line.texts[size_t(i)] = boxes[i]->text();
    if (const std::optional<core::LineRefusal> refusal = core::refusedLineValue(line)) {
        MessageBox::reportFailure(this, refusal->failure);
        TextBox* field = boxes[refusal->field];
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
        return;
    }
    for (const core::LineQuestion& question : core::lineQuestions(line)) {
        if (!MessageBox::ask(this, question.title, question.text))
            return;
    }
    if (const std::optional<datafiles::Failure> failure = m_take(line)) {
        // A link in the basket's place is no fault of the program's: the
        // operator is told which file it is, so that it can be taken away.
        if (failure->is(datafiles::FailureKind::LinkRefused))
            MessageBox::reportFailure(this, *failure);
        else
            MessageBox::showErrorBox(this, QStringLiteral("1001,06"), *failure);
        return;
    }

    for (TextBox* box : boxes)
        box->clear();
    close();
}

void FrmAddProduct::cancel()
{
    close();
}

bool FrmAddProduct::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_productList->viewport() && event->type() == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            takeChosenProduct();
    } else if (watched == m_productList && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            takeChosenProduct();
            return true;
        }
        // The list has the focus when the picker opens, and the operator starts
        // typing the article number at once: it goes into its box.
        if (typesText(*key)) {
            m_articleNumber->setFocus(Qt::OtherFocusReason);
            m_articleNumber->end(false);
            QCoreApplication::sendEvent(m_articleNumber, key);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
