#include "frmgetinfo.h"

#include "order/basket.h"
#include "widgets/accessible.h"
#include "widgets/controls.h"
#include "widgets/look.h"
#include "widgets/messagebox.h"
#include "widgets/reportlistview.h"
#include "widgets/textbox.h"
#include "widgets/twips.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

FrmGetInfo::FrmGetInfo(datafiles::DataDirectory data)
    : QWidget(nullptr)
    , m_data(std::move(data))
{
    setObjectName(QStringLiteral("frmGetInfo"));
    setWindowTitle(QStringLiteral("Hämta underlag"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(look::sansSerif(8.25, false));
    setupControls();
    setFixedSize(twipsToPixels(9615), twipsToPixels(4935));
    look::placeOnScreen(*this, size());
}

void FrmGetInfo::setupControls()
{
    m_orderList = new ReportListView(this);
    m_orderList->setObjectName(QStringLiteral("ListView1"));
    m_orderList->setGeometry(twipsRect(120, 120, 9375, 4095));
    m_orderList->setColumns({
        { QStringLiteral("Orderdatum"), 1000 },
        { QStringLiteral("Order nr"), 1440 },
        { QStringLiteral("Kundnr"), 1000 },
        { QStringLiteral("Kund"), 4000 },
        { QStringLiteral("Status"), 1200 },
    });
    accessible::name(m_orderList, QStringLiteral("Utskrivna order"),
                     QStringLiteral("Hämta lägger den markerade orderns rader till ordern"));

    m_fetchButton = new QPushButton(QStringLiteral("&Hämta"), this);
    m_fetchButton->setObjectName(QStringLiteral("Command1"));
    m_fetchButton->setGeometry(twipsRect(120, 4440, 1215, 375));

    // The search sits beside "Hämta", below the list, where the window has room.
    auto* searchCaption = new QLabel(QStringLiteral("Sök:"), this);
    searchCaption->setGeometry(twipsRect(1455, 4500, 500, 255));
    m_txtSok = new TextBox(this);
    m_txtSok->setObjectName(QStringLiteral("txtSok"));
    m_txtSok->setGeometry(twipsRect(1955, 4440, 7540, 375));
    m_txtSok->setPlaceholderText(QStringLiteral("Ordernr, kundnr eller namn"));
    m_txtSok->setClearButtonEnabled(true);
    accessible::label(searchCaption, m_txtSok);

    setTabOrder(m_fetchButton, m_orderList);
    setTabOrder(m_orderList, m_txtSok);
    m_fetchButton->setFocus();

    connect(m_fetchButton, &QPushButton::clicked, this, &FrmGetInfo::fetchChosenOrder);
    // Enter on the list fetches the chosen order, as "Hämta" does.
    for (const Qt::Key key : { Qt::Key_Return, Qt::Key_Enter }) {
        auto* enter = new QAction(m_orderList);
        enter->setShortcut(key);
        enter->setShortcutContext(Qt::WidgetShortcut);
        connect(enter, &QAction::triggered, this, &FrmGetInfo::fetchChosenOrder);
        m_orderList->addAction(enter);
    }
    connect(m_txtSok, &QLineEdit::textChanged, this, &FrmGetInfo::txtSok_Change);
    closeOnEscape(this, &QWidget::close);
}

FrmGetInfo* FrmGetInfo::open(const datafiles::DataDirectory& data, QWidget* parent)
{
    // Until the first order has been printed there is no order list.
    core::OrderHistoryRead read = core::readOrderHistory(data);
    if (read.failure) {
        MessageBox::reportFailure(parent, *read.failure);
        return nullptr;
    }
    auto* window = new FrmGetInfo(data);
    window->Form_Load(std::move(read.history), std::move(read.status));
    for (const datafiles::Failure& cut : std::as_const(read.cutShort))
        MessageBox::reportFailure(parent, cut);
    return window;
}

void FrmGetInfo::Form_Load(core::OrderHistory history, core::StatusLog status)
{
    m_history = std::move(history);
    m_status = std::move(status);
    m_orderList->enableFullRowSelect();
    txtSok_Change();
}

void FrmGetInfo::txtSok_Change()
{
    // The orders are listed in the order list's order, the oldest printing
    // first; the search gives them newest first.
    const std::vector<int> found = m_history.search(m_txtSok->text());
    QList<QStringList> rows;
    rows.reserve(qsizetype(found.size()));
    for (auto place = found.rbegin(); place != found.rend(); ++place) {
        const core::OrderListEntry entry = m_history.entry(*place);
        rows.append({ entry.orderDate, entry.orderNumber, entry.customerNumber, entry.customerName,
                      core::stateName(m_history.state(*place)) });
    }
    ReportModel* model = m_orderList->reportModel();
    model->clear();
    model->appendRows(rows);
    // What a search finds, the newest of it is chosen; the whole list, none.
    if (!m_txtSok->text().trimmed().isEmpty() && !rows.isEmpty())
        m_orderList->selectRowInSight(int(rows.size()) - 1);
}

void FrmGetInfo::fetchChosenOrder()
{
    const int row = m_orderList->firstSelectedRow();
    if (row < 0) {
        MessageBox::show(this, MessageBox::Icon::Information, QString(),
                         QStringLiteral("Välj först den order i listan vars rader ska hämtas."));
        return;
    }

    const QString orderNumber = m_orderList->reportModel()->rowTexts(row).at(1);
    if (const std::optional<core::VoidedOrderQuestion> question
        = core::voidedOrderQuestion(m_status, orderNumber, QStringLiteral("hämta dess rader"))) {
        if (!MessageBox::ask(this, question->title, question->text))
            return;
    }
    // Its lines as they were printed: the order on the desk may be this very
    // order, whose basket holds what an earlier fetch added to it.
    const core::BasketRead basket = core::readPrintedLines(m_data, orderNumber);
    // An order printed without lines never had a basket file.
    if (basket.missing) {
        MessageBox::show(this, MessageBox::Icon::Information, QString(),
                         QStringLiteral("Order %1 har inga sparade orderrader.").arg(orderNumber));
        return;
    }
    if (basket.failure) {
        MessageBox::reportFailure(this, *basket.failure);
        return;
    }
    emit linesFetched(basket.lines);
    if (basket.cutShort)
        MessageBox::reportFailure(this, *basket.cutShort);
}
