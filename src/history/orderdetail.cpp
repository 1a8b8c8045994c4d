#include "orderdetail.h"

#include "order/totals.h"
#include "printing/orderdocument.h"
#include "widgets/accessible.h"
#include "widgets/controls.h"
#include "widgets/reportlistview.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <optional>

namespace {

using Field = core::Order::Field;

// The order head as the pane shows it: the value label's name, the caption
// and the field; a code is shown in its wording where it has one.
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

const QColor voidedRed(192, 0, 0);

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

OrderDetail::OrderDetail(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("detail"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 0, 0, 0);

    auto* top = new QHBoxLayout;
    auto* customer = new QVBoxLayout;
    customer->addWidget(captionLabel(this, QStringLiteral("Kund")));
    m_lblKund = valueLabel(this, "lblKund", QStringLiteral("Kund"));
    customer->addWidget(m_lblKund);
    customer->addStretch();
    top->addLayout(customer, 2);

    auto* head = new QGridLayout;
    for (int i = 0; i < int(std::size(headItems)); ++i) {
        const HeadItem& item = headItems[i];
        ValueLabel* value = valueLabel(this, item.name, QString::fromUtf8(item.caption));
        m_headValues.append(value);
        head->addWidget(captionLabel(this, QString::fromUtf8(item.caption)), (i / 3) * 2, i % 3);
        head->addWidget(value, (i / 3) * 2 + 1, i % 3);
    }
    const int statusItem = int(std::size(headItems));
    m_lblStatus = valueLabel(this, "lblStatus", QStringLiteral("Status"));
    head->addWidget(captionLabel(this, QStringLiteral("Status")), (statusItem / 3) * 2, statusItem % 3);
    head->addWidget(m_lblStatus, (statusItem / 3) * 2 + 1, statusItem % 3);
    top->addLayout(head, 3);
    layout->addLayout(top);

    auto* info = new QHBoxLayout;
    info->addWidget(captionLabel(this, QStringLiteral("Info")));
    m_lblInfo = valueLabel(this, "lblInfo", QStringLiteral("Info"));
    m_lblInfo->setWordWrap(true);
    info->addWidget(m_lblInfo, 1);
    layout->addLayout(info);

    m_lvwOrderrader = new ReportListView(this);
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
        totals->addWidget(captionLabel(this, caption), 0, column);
        ValueLabel* value = valueLabel(this, name, caption);
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

    layout->addWidget(captionLabel(this, QStringLiteral("Statuslogg")));
    m_lvwStatuslogg = new ReportListView(this);
    m_lvwStatuslogg->setObjectName(QStringLiteral("lvwStatuslogg"));
    accessible::name(m_lvwStatuslogg, QStringLiteral("Statuslogg"));
    m_lvwStatuslogg->setColumns({ { QStringLiteral("Datum och tid"), 1900 },
                                  { QStringLiteral("Status"), 1200 },
                                  { QStringLiteral("Orsak"), 4000 } });
    m_lvwStatuslogg->enableFullRowSelect();
    m_lvwStatuslogg->setFocusPolicy(Qt::NoFocus);
    m_lvwStatuslogg->setMaximumHeight(110);
    layout->addWidget(m_lvwStatuslogg);

    m_lblProblem = valueLabel(this, "lblProblem", QStringLiteral("Anmärkning"));
    m_lblProblem->setWordWrap(true);
    setTextColour(m_lblProblem, voidedRed);
    layout->addWidget(m_lblProblem);
}

void OrderDetail::showOrder(const core::ArchivedOrder& archived, const core::CodeWording& wording)
{
    const core::Order& order = archived.order;
    m_lblKund->setValue(QStringLiteral("Kundnr: %1\n%2\n%3\n%4")
                            .arg(order.text(Field::CustomerNumber), order.text(Field::CustomerLine1),
                                 order.text(Field::CustomerLine2), order.text(Field::CustomerLine3)));
    m_lblInfo->setValue(order.text(Field::Info));
    for (int i = 0; i < int(std::size(headItems)); ++i) {
        const HeadItem& item = headItems[i];
        QString value = order.text(item.field);
        if (item.code) {
            const QString worded = wording.wording(*item.code, value);
            if (!worded.isEmpty())
                value = worded;
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
    if (!totals.knowsVat()) {
        // The archive keeps the VAT code, not the rate: a code outside the
        // table left the rate the order had before, which is not known here.
        const QString& unknown = core::unknownAmount;
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
    m_lblProblem->setValue(archived.problems.join(QLatin1Char('\n')));
}

void OrderDetail::showStatus(core::OrderState state, const QList<core::StatusChange>& changes)
{
    m_lblStatus->setValue(core::stateName(state));
    setTextColour(m_lblStatus, state == core::OrderState::Voided ? voidedRed : palette().color(QPalette::WindowText));
    ReportModel* log = m_lvwStatuslogg->reportModel();
    log->clear();
    for (const core::StatusChange& change : changes)
        log->appendRow({ change.when, core::stateName(change.state), change.reason });
}

void OrderDetail::clear()
{
    for (ValueLabel* label : { m_lblKund, m_lblInfo, m_lblExklMoms, m_lblMomsProcent, m_lblMomsKr, m_lblAttBetala,
                               m_lblProblem, m_lblStatus })
        label->setValue(QString());
    for (ValueLabel* label : std::as_const(m_headValues))
        label->setValue(QString());
    m_lvwOrderrader->reportModel()->clear();
    m_lvwStatuslogg->reportModel()->clear();
}
