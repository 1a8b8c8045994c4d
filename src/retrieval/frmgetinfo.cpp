#include "frmgetinfo.h"

#include "order/archive.h"
#include "order/basket.h"
#include "widgets/accessible.h"
#include "widgets/controls.h"
#include "widgets/look.h"
#include "widgets/messagebox.h"
#include "widgets/reportlistview.h"
#include "widgets/twips.h"

#include <QAction>
#include <QKeyEvent>
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
    });
    accessible::name(m_orderList, QStringLiteral("Utskrivna order"),
                     QStringLiteral("Hämta lägger den markerade orderns rader till ordern"));

    m_fetchButton = new QPushButton(QStringLiteral("&Hämta"), this);
    m_fetchButton->setObjectName(QStringLiteral("Command1"));
    m_fetchButton->setGeometry(twipsRect(120, 4440, 1215, 375));

    setTabOrder(m_fetchButton, m_orderList);
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
    closeOnEscape(this, &QWidget::close);
}

FrmGetInfo* FrmGetInfo::open(const datafiles::DataDirectory& data, QWidget* parent)
{
    // Until the first order has been printed there is no order list.
    const core::OrderListRead list = core::readOrderList(data);
    if (list.failure) {
        MessageBox::reportFailure(parent, *list.failure);
        return nullptr;
    }
    QList<QStringList> rows;
    rows.reserve(list.list.size());
    for (const core::OrderListEntry& entry : list.list.entries())
        rows.append({ entry.orderDate, entry.orderNumber, entry.customerNumber, entry.customerName });
    auto* window = new FrmGetInfo(data);
    window->Form_Load(rows);
    if (list.cutShort)
        MessageBox::reportFailure(parent, *list.cutShort);
    return window;
}

void FrmGetInfo::Form_Load(const QList<QStringList>& rows)
{
    m_orderList->enableFullRowSelect();
    m_orderList->reportModel()->appendRows(rows);
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
    const core::BasketRead basket = core::readBasket(m_data, orderNumber);
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
