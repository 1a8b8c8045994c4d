#include "frmorderhistory.h"

#include "orderhistorymodel.h"
#include "pdfwindow.h"

#include "order/totals.h"
#include "printing/orderdocument.h"
#include "printing/output/reprint.h"
#include "printjob/printjob.h"
#include "widgets/accessible.h"
#include "widgets/controls.h"
#include "widgets/look.h"
#include "widgets/messagebox.h"
#include "widgets/reportlistview.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

using Field = core::Order::Field;

// The order head as the detail pane shows it: the caption, the value label's
// name and the field; a code is shown in its wording where it has one.
struct HeadItem
{
    const char* name;
    const char* caption;
    Field field;
    std::optional<core::CodeRegister> code;
};

const HeadItem headItems[] = {
    { "lblOrderNr", "Order nr", Field::OrderNumber, std::nullopt },
    { "lblOrderdatum", "Orderdatum", Field::OrderDate, std::nullopt },
    { "lblLeveransdatum", "Leveransdatum", Field::DeliveryDate, std::nullopt },
    { "lblBetalningsvillkor", "Betalningsvillkor", Field::PaymentTerms, core::CodeRegister::PaymentTerms },
    { "lblLeveranssatt", "Leveranssätt", Field::DeliveryMethod, core::CodeRegister::DeliveryMethod },
    { "lblFraktsatt", "Fraktsätt", Field::FreightMethod, core::CodeRegister::FreightMethod },
    { "lblRegNr", "Reg Nr", Field::RegistrationNumber, std::nullopt },
    { "lblMkod", "Mkod", Field::VatCode, std::nullopt },
};

ValueLabel* valueLabel(QWidget* parent, const char* name, const QString& caption)
{
    auto* label = new ValueLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QLabel* captionLabel(QWidget* parent, const QString& caption)
{
    auto* label = new QLabel(caption, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

FrmOrderHistory::FrmOrderHistory(datafiles::DataDirectory data)
    : QWidget(nullptr)
    , m_data(std::move(data))
    , m_wording(m_data)
{
    setObjectName(QStringLiteral("frmOrderhistorik"));
    setWindowTitle(QStringLiteral("Orderhistorik"));
    setWindowFlags(Qt::Window);
    setFont(look::sansSerif(8.25, false));
    setupControls();
    look::placeOnScreen(*this, QSize(1060, 620));
}

FrmOrderHistory* FrmOrderHistory::open(const datafiles::DataDirectory& data, QWidget* parent)
{
    const core::OrderListRead list = core::readOrderList(data);
    if (list.failure) {
        MessageBox::reportFailure(parent, *list.failure);
        return nullptr;
    }
    auto* window = new FrmOrderHistory(data);
    window->Form_Load(list.entries);
    if (list.cutShort)
        MessageBox::reportFailure(parent, *list.cutShort);
    return window;
}

void FrmOrderHistory::setupControls()
{
    auto* layout = new QVBoxLayout(this);

    auto* searchRow = new QHBoxLayout;
    auto* searchCaption = new QLabel(QStringLiteral("Sök:"), this);
    m_txtSok = new QLineEdit(this);
    m_txtSok->setObjectName(QStringLiteral("txtSok"));
    m_txtSok->setPlaceholderText(QStringLiteral("Ordernr, kundnr eller namn"));
    m_txtSok->setClearButtonEnabled(true);
    accessible::label(searchCaption, m_txtSok);
    searchRow->addWidget(searchCaption);
    searchRow->addWidget(m_txtSok, 1);
    layout->addLayout(searchRow);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    m_ListView1 = new ReportListView(splitter);
    m_ListView1->setObjectName(QStringLiteral("ListView1"));
    m_ListView1->enableFullRowSelect();
    accessible::name(m_ListView1, QStringLiteral("Utskrivna order"),
                     QStringLiteral("Enter visar den markerade orderns PDF-kopia"));
    splitter->addWidget(m_ListView1);
    splitter->addWidget(setupDetail());
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({ 420, 620 });
    layout->addWidget(splitter, 1);

    auto* buttons = new QHBoxLayout;
    const auto addButton = [this, buttons](const char* name, const QString& caption) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        buttons->addWidget(button);
        return button;
    };
    m_cmdVisa = addButton("cmdVisa", QStringLiteral("&Visa"));
    m_cmdSkrivUtIgen = addButton("cmdSkrivUtIgen", QStringLiteral("Skriv &ut igen"));
    m_cmdNyOrder = addButton("cmdNyOrder", QStringLiteral("&Ny order från denna"));
    buttons->addStretch();
    m_cmdStang = addButton("cmdStang", QStringLiteral("&Stäng"));
    layout->addLayout(buttons);

    connect(m_txtSok, &QLineEdit::textChanged, this, &FrmOrderHistory::txtSok_Change);
    connect(m_cmdVisa, &QPushButton::clicked, this, &FrmOrderHistory::cmdVisa_Click);
    connect(m_cmdSkrivUtIgen, &QPushButton::clicked, this, &FrmOrderHistory::cmdSkrivUtIgen_Click);
    connect(m_cmdNyOrder, &QPushButton::clicked, this, &FrmOrderHistory::cmdNyOrder_Click);
    connect(m_cmdStang, &QPushButton::clicked, this, &FrmOrderHistory::cmdStang_Click);
    connect(m_ListView1, &QAbstractItemView::doubleClicked, this, &FrmOrderHistory::cmdVisa_Click);
    closeOnEscape(this, &FrmOrderHistory::cmdStang_Click);

    m_txtSok->installEventFilter(this);
    m_ListView1->installEventFilter(this);
    setTabOrder(m_txtSok, m_ListView1);
    m_txtSok->setFocus();
    clearDetail();
}

QWidget* FrmOrderHistory::setupDetail()
{
    auto* detail = new QWidget(this);
    detail->setObjectName(QStringLiteral("detail"));
    auto* layout = new QVBoxLayout(detail);
    layout->setContentsMargins(8, 0, 0, 0);

    auto* top = new QHBoxLayout;
    auto* customer = new QVBoxLayout;
    customer->addWidget(captionLabel(detail, QStringLiteral("Kund")));
    m_lblKund = valueLabel(detail, "lblKund", QStringLiteral("Kund"));
    customer->addWidget(m_lblKund);
    customer->addStretch();
    top->addLayout(customer, 2);

    auto* head = new QGridLayout;
    for (int i = 0; i < int(std::size(headItems)); ++i) {
        const HeadItem& item = headItems[i];
        ValueLabel* value = valueLabel(detail, item.name, QString::fromUtf8(item.caption));
        m_headValues.append(value);
        head->addWidget(captionLabel(detail, QString::fromUtf8(item.caption)), (i / 3) * 2, i % 3);
        head->addWidget(value, (i / 3) * 2 + 1, i % 3);
    }
    top->addLayout(head, 3);
    layout->addLayout(top);

    auto* info = new QHBoxLayout;
    info->addWidget(captionLabel(detail, QStringLiteral("Info")));
    m_lblInfo = valueLabel(detail, "lblInfo", QStringLiteral("Info"));
    m_lblInfo->setWordWrap(true);
    info->addWidget(m_lblInfo, 1);
    layout->addLayout(info);

    m_lvwOrderrader = new ReportListView(detail);
    m_lvwOrderrader->setObjectName(QStringLiteral("lvwOrderrader"));
    QList<ReportColumn> columns;
    for (const printing::TableColumn& column : printing::designedOrderLineColumns())
        columns.append({ column.caption.trimmed(), int(column.widthTwips) });
    m_lvwOrderrader->setColumns(columns);
    m_lvwOrderrader->enableFullRowSelect();
    m_lvwOrderrader->setFocusPolicy(Qt::NoFocus);
    accessible::name(m_lvwOrderrader, QStringLiteral("Orderrader"));
    layout->addWidget(m_lvwOrderrader, 1);

    auto* totals = new QGridLayout;
    const auto addTotal = [&](int column, const QString& caption, const char* name) {
        totals->addWidget(captionLabel(detail, caption), 0, column);
        ValueLabel* value = valueLabel(detail, name, caption);
        totals->addWidget(value, 1, column);
        return value;
    };
    m_lblExklMoms = addTotal(0, QStringLiteral("Exkl moms"), "lblExklMoms");
    m_lblMomsProcent = addTotal(1, QStringLiteral("Moms %"), "lblMomsProcent");
    m_lblMomsKr = addTotal(2, QStringLiteral("Moms i SEK"), "lblMomsKr");
    m_lblAttBetala = addTotal(3, QStringLiteral("Att betala"), "lblAttBetala");
    QFont bold = m_lblAttBetala->font();
    bold.setBold(true);
    m_lblAttBetala->setFont(bold);
    layout->addLayout(totals);

    m_lblProblem = valueLabel(detail, "lblProblem", QStringLiteral("Anmärkning"));
    m_lblProblem->setWordWrap(true);
    QPalette red = m_lblProblem->palette();
    red.setColor(QPalette::WindowText, QColor(192, 0, 0));
    m_lblProblem->setPalette(red);
    layout->addWidget(m_lblProblem);
    return detail;
}

void FrmOrderHistory::Form_Load(const QList<core::OrderListEntry>& entries)
{
    m_model = new OrderHistoryModel(core::OrderHistory(entries), this);
    m_ListView1->setModel(m_model);
    m_ListView1->setDesignWidths({ 1000, 1000, 1000, 3000 });
    connect(m_ListView1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { chooseRow(current.isValid() ? current.row() : -1); });
    chooseRow(m_model->rowCount() > 0 ? 0 : -1);
}

void FrmOrderHistory::txtSok_Change()
{
    if (!m_model)
        return;
    m_model->search(m_txtSok->text());
    chooseRow(m_model->rowCount() > 0 ? 0 : -1);
}

void FrmOrderHistory::chooseRow(int row)
{
    if (row < 0) {
        m_ListView1->selectionModel()->clear();
        m_chosen.reset();
        clearDetail();
        return;
    }
    const QModelIndex index = m_model->index(row, 0);
    if (m_ListView1->currentIndex() != index) {
        // Setting the current row comes back here through the selection model.
        m_ListView1->selectionModel()->setCurrentIndex(index,
                                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_ListView1->scrollTo(index);
        return;
    }
    const core::ArchivedOrder archived = core::readArchivedOrder(m_data, m_model->entry(row).orderNumber);
    m_chosen = archived.order;
    showChosen();
    m_lblProblem->setValue(archived.problems.join(QLatin1Char('\n')));
}

void FrmOrderHistory::clearDetail()
{
    for (ValueLabel* label :
         { m_lblKund, m_lblInfo, m_lblExklMoms, m_lblMomsProcent, m_lblMomsKr, m_lblAttBetala, m_lblProblem })
        label->setValue(QString());
    for (ValueLabel* label : std::as_const(m_headValues))
        label->setValue(QString());
    m_lvwOrderrader->reportModel()->clear();
    for (QPushButton* button : { m_cmdVisa, m_cmdSkrivUtIgen, m_cmdNyOrder }) {
        button->setEnabled(false);
        button->setToolTip(QString());
    }
}

void FrmOrderHistory::showChosen()
{
    const core::Order& order = *m_chosen;
    m_lblKund->setValue(QStringLiteral("Kundnr: %1\n%2\n%3\n%4")
                           .arg(order.text(Field::CustomerNumber), order.text(Field::CustomerLine1),
                                order.text(Field::CustomerLine2), order.text(Field::CustomerLine3)));
    m_lblInfo->setValue(order.text(Field::Info));
    for (int i = 0; i < int(std::size(headItems)); ++i) {
        const HeadItem& item = headItems[i];
        QString value = order.text(item.field);
        if (item.code) {
            const QString wording = m_wording.wording(*item.code, value);
            if (!wording.isEmpty())
                value = wording;
        }
        m_headValues.at(i)->setValue(value);
    }

    ReportModel* lines = m_lvwOrderrader->reportModel();
    lines->clear();
    QList<QStringList> rows;
    rows.reserve(order.lines().size());
    for (const core::OrderLine& line : order.lines())
        rows.append(line.toList());
    lines->appendRows(rows);

    const core::Totals totals = core::totalsOf(order);
    m_lblExklMoms->setValue(totals.exclusiveOfVat);
    if (totals.vatRate.isEmpty()) {
        // The archive keeps the VAT code, not the rate: a code outside the
        // table left the rate the order had before, which is not known here.
        const QString unknown = QStringLiteral("okänd");
        const QString tip = QStringLiteral("Momskoden \"%1\" har ingen momssats. Ordern skrevs ut med den momssats "
                                           "den hade innan; se den utskrivna ordern med Visa.")
                                .arg(order.text(Field::VatCode));
        for (ValueLabel* label : { m_lblMomsProcent, m_lblMomsKr, m_lblAttBetala }) {
            label->setValue(unknown);
            label->setToolTip(tip);
        }
    } else {
        m_lblMomsProcent->setValue(totals.vatRate);
        m_lblMomsKr->setValue(totals.vat);
        m_lblAttBetala->setValue(totals.inclusiveOfVat);
        for (ValueLabel* label : { m_lblMomsProcent, m_lblMomsKr, m_lblAttBetala })
            label->setToolTip(QString());
    }

    const QString copy = keptCopy();
    const QString tip = copy.isEmpty()
        ? QStringLiteral("Ingen PDF-kopia är sparad för order %1.").arg(order.text(Field::OrderNumber))
        : QDir::toNativeSeparators(copy);
    for (QPushButton* button : { m_cmdVisa, m_cmdSkrivUtIgen }) {
        button->setEnabled(!copy.isEmpty());
        button->setToolTip(tip);
    }
    m_cmdNyOrder->setEnabled(true);
}

QString FrmOrderHistory::keptCopy() const
{
    if (!m_chosen)
        return {};
    const std::optional<QString> file = m_data.pdfCopyFile(m_chosen->text(Field::OrderNumber));
    return file && QFileInfo(*file).isFile() ? *file : QString();
}

bool FrmOrderHistory::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        cmdVisa_Click();
        return true;
    }
    // Down and Up in the search box move through the orders it found.
    if (watched == m_txtSok && (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up) && m_model) {
        const int rows = m_model->rowCount();
        if (rows > 0) {
            const int current = m_ListView1->currentIndex().isValid() ? m_ListView1->currentIndex().row() : -1;
            chooseRow(qBound(0, current + (key->key() == Qt::Key_Down ? 1 : -1), rows - 1));
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FrmOrderHistory::cmdVisa_Click()
{
    const QString copy = keptCopy();
    if (copy.isEmpty())
        return;
    const QString orderNumber = m_chosen->text(Field::OrderNumber);
    PdfWindow* shown = m_frmVisaOrder.show([] { return PdfWindow::open(PdfWindow::Kind::KeptCopy); });
    if (std::optional<datafiles::Failure> failure = shown->showFile(copy)) {
        // A window that has nothing else to show goes again.
        if (shown->pageCount() == 0)
            shown->close();
        MessageBox::reportFailure(this, failure->during(QStringLiteral("visa order %1").arg(orderNumber)));
        return;
    }
    shown->setWindowTitle(printjob::jobName(orderNumber));
}

void FrmOrderHistory::cmdSkrivUtIgen_Click()
{
    const QString copy = keptCopy();
    if (copy.isEmpty())
        return;
    const QString orderNumber = m_chosen->text(Field::OrderNumber);
    const printing::ReprintOutcome sent = printing::reprintPdf(copy, printjob::jobName(orderNumber));
    if (sent.noPrinter) {
        MessageBox::show(this, MessageBox::Icon::Information, QString(),
                         QStringLiteral("Det finns ingen skrivare att skriva ut på.\r\n\r\n"
                                        "PDF-kopian av order %1 finns i\r\n%2")
                             .arg(orderNumber, QDir::toNativeSeparators(copy)));
        return;
    }
    if (sent.failure) {
        MessageBox::reportFailure(this, *sent.failure);
        return;
    }
    MessageBox::show(this, MessageBox::Icon::Information, QString(),
                     QStringLiteral("Order %1 har skickats till skrivaren %2 igen.").arg(orderNumber, sent.printer));
}

void FrmOrderHistory::cmdNyOrder_Click()
{
    if (m_chosen)
        emit newOrderFrom(*m_chosen);
}

void FrmOrderHistory::cmdStang_Click()
{
    close();
}
