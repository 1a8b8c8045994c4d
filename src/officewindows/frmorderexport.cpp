#include "frmorderexport.h"

#include "remembered.h"
#include "workprogress.h"

#include "office/orderexport.h"
#include "widgets/controls.h"
#include "widgets/filedialog.h"
#include "widgets/look.h"
#include "widgets/messagebox.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString title = QStringLiteral("Exportera order");

// A date box named as its label reads, down to the text box inside it that
// takes the focus, so that a screen reader says which date it is.
QDateEdit* dateEdit(QWidget* parent, const char* name, const QString& spoken, const QDate& date)
{
    auto* edit = new QDateEdit(date, parent);
    edit->setObjectName(QLatin1String(name));
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    edit->setAccessibleName(spoken);
    if (auto* text = edit->findChild<QLineEdit*>())
        text->setAccessibleName(spoken);
    return edit;
}

} // namespace

FrmOrderExport::FrmOrderExport(datafiles::DataDirectory data, const QDate& today)
    : QWidget(nullptr)
    , m_data(std::move(data))
{
    setObjectName(QStringLiteral("frmExportera"));
    setWindowTitle(title);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFont(look::sansSerif(8.25, false));
    setupControls(today);
    // Wide enough for its title.
    setFixedSize(sizeHint().expandedTo(QSize(fontMetrics().horizontalAdvance(title) * 2 + 120, 0)));
    look::placeOnScreen(*this, size());
}

FrmOrderExport* FrmOrderExport::open(const datafiles::DataDirectory& data, const QDate& today)
{
    return new FrmOrderExport(data, today);
}

void FrmOrderExport::setupControls(const QDate& today)
{
    auto* layout = new QVBoxLayout(this);
    auto* period = new QFormLayout;
    const QDate first(today.year(), today.month(), 1);
    m_dtpFran = dateEdit(this, "dtpFran", QStringLiteral("Från"), first);
    m_dtpTill = dateEdit(this, "dtpTill", QStringLiteral("Till"), first.addMonths(1).addDays(-1));
    auto* fran = new QLabel(QStringLiteral("&Från:"), this);
    auto* till = new QLabel(QStringLiteral("&Till:"), this);
    fran->setBuddy(m_dtpFran);
    till->setBuddy(m_dtpTill);
    period->addRow(fran, m_dtpFran);
    period->addRow(till, m_dtpTill);
    layout->addLayout(period);

    auto* rows = new QGroupBox(QStringLiteral("Rader i filen"), this);
    auto* rowChoice = new QVBoxLayout(rows);
    m_optPerOrder = new QRadioButton(QStringLiteral("En rad per &order"), rows);
    m_optPerOrder->setObjectName(QStringLiteral("optPerOrder"));
    m_optPerRad = new QRadioButton(QStringLiteral("En rad per order&rad"), rows);
    m_optPerRad->setObjectName(QStringLiteral("optPerRad"));
    m_optPerOrder->setChecked(true);
    rowChoice->addWidget(m_optPerOrder);
    rowChoice->addWidget(m_optPerRad);
    layout->addWidget(rows);
    m_chkMakulerade = new QCheckBox(QStringLiteral("Ta med &makulerade"), this);
    m_chkMakulerade->setObjectName(QStringLiteral("chkMakulerade"));
    layout->addWidget(m_chkMakulerade);

    auto* buttons = new QHBoxLayout;
    m_cmdExportera = new QPushButton(QStringLiteral("&Exportera…"), this);
    m_cmdExportera->setObjectName(QStringLiteral("cmdExportera"));
    m_cmdExportera->setDefault(true);
    m_cmdStang = new QPushButton(QStringLiteral("&Stäng"), this);
    m_cmdStang->setObjectName(QStringLiteral("cmdStang"));
    buttons->addStretch();
    buttons->addWidget(m_cmdExportera);
    buttons->addWidget(m_cmdStang);
    layout->addLayout(buttons);

    connect(m_cmdExportera, &QPushButton::clicked, this, &FrmOrderExport::cmdExportera_Click);
    connect(m_cmdStang, &QPushButton::clicked, this, &FrmOrderExport::cmdStang_Click);
    for (const Qt::Key key : { Qt::Key_Return, Qt::Key_Enter }) {
        auto* enter = new QShortcut(QKeySequence(key), this);
        connect(enter, &QShortcut::activated, this, [this] {
            if (focusWidget() == m_cmdStang)
                cmdStang_Click();
            else
                cmdExportera_Click();
        });
    }
    closeOnEscape(this, &FrmOrderExport::cmdStang_Click);
    m_dtpFran->setFocus();
}

void FrmOrderExport::cmdExportera_Click()
{
    const QDate from = m_dtpFran->date();
    const QDate to = m_dtpTill->date();
    if (from > to) {
        MessageBox::show(this, MessageBox::Icon::Information, title,
                         QStringLiteral("Från-datumet ligger efter till-datumet."));
        return;
    }
    QString file
        = FileDialog::saveFile(this, title, remembered::exportFolder() + u'/' + office::proposedExportName(from, to),
                               QStringLiteral("CSV-filer (*.csv)"));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".csv");
    remembered::setExportFolder(QFileInfo(file).absolutePath());

    office::ExportOutcome exported;
    {
        WorkProgress progress(this, QStringLiteral("Exporterar order…"));
        exported = office::exportOrders(
            m_data, from, to, m_optPerRad->isChecked() ? office::ExportRows::PerLine : office::ExportRows::PerOrder,
            m_chkMakulerade->isChecked() ? office::VoidedOrders::Included : office::VoidedOrders::LeftOut, file,
            progress.progress());
    }
    if (exported.cancelled) {
        MessageBox::show(this, MessageBox::Icon::Information, title,
                         QStringLiteral("Exporten avbröts. Ingen fil skrevs."));
        return;
    }
    if (exported.failure) {
        MessageBox::reportFailure(this, *exported.failure);
        return;
    }
    for (const datafiles::Failure& cut : std::as_const(exported.cutShort))
        MessageBox::reportFailure(this, cut);
    QString text = QStringLiteral("%1 order från %2 till %3 är exporterade till\r\n%4")
                       .arg(exported.orders)
                       .arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate), QDir::toNativeSeparators(file));
    if (exported.voidedLeftOut > 0)
        text += QStringLiteral("\r\n\r\n%1 makulerade order togs inte med. Kryssa i \"Ta med makulerade\" "
                               "för att få med dem.")
                    .arg(exported.voidedLeftOut);
    if (!exported.incomplete.isEmpty()) {
        text += QStringLiteral("\r\n\r\n%1 av dem kunde bara exporteras så långt deras filer räcker:")
                    .arg(exported.incomplete.size());
        // A box has room for the reasons of a few; the rest are named.
        constexpr qsizetype withReasons = 10;
        QStringList others;
        for (qsizetype i = 0; i < exported.incomplete.size(); ++i) {
            const office::IncompleteOrder& order = exported.incomplete.at(i);
            if (i < withReasons)
                text += QStringLiteral("\r\nOrder %1: %2").arg(order.orderNumber, order.problems.join(u' '));
            else
                others.append(order.orderNumber);
        }
        if (!others.isEmpty())
            text += QStringLiteral("\r\nOch order %1.").arg(others.join(QStringLiteral(", ")));
    }
    MessageBox::show(this, MessageBox::Icon::Information, title, text);
}

void FrmOrderExport::cmdStang_Click()
{
    close();
}
