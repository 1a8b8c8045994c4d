#include "frmgetinfo.h"

#include "datafiles/records.h"
#include "datafiles/textfile.h"
#include "orderwindow/frmmain.h"
#include "orderwindow/look.h"
#include "orderwindow/reportlistview.h"
#include "orderwindow/twips.h"
#include "retrieval/messagebox.h"

#include <QDir>
#include <QPushButton>

namespace {

constexpr int orderListFields = 4;
constexpr int basketFields = 7;

void reportIncompleteFile(QWidget* parent, const QString& path, const QString& whatWasKept)
{
    MessageBox::show(parent, MessageBox::Icon::Critical, QString(),
                     QStringLiteral("Filen %1 slutar mitt i en rad och är ofullständig.\r\n\r\n%2")
                         .arg(QDir::toNativeSeparators(path), whatWasKept));
}

} // namespace

FrmGetInfo::FrmGetInfo(FrmMain& frm)
    : QWidget(nullptr)
    , m_frm(frm)
{
    setObjectName(QStringLiteral("frmGetInfo"));
    setWindowTitle(QStringLiteral("Hämta underlag"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(look::sansSerif(8.25, false));
    setupControls();
    setFixedSize(twipsToPixels(9615), twipsToPixels(4935));
}

void FrmGetInfo::setupControls()
{
    m_ListView1 = new ReportListView(this);
    m_ListView1->setObjectName(QStringLiteral("ListView1"));
    m_ListView1->setGeometry(twipsRect(120, 120, 9375, 4095));
    m_ListView1->setColumns({
        { QStringLiteral("Orderdatum"), 1000 },
        { QStringLiteral("Order nr"), 1440 },
        { QStringLiteral("Kundnr"), 1000 },
        { QStringLiteral("Kund"), 4000 },
    });

    m_Command1 = new QPushButton(QStringLiteral("Hämta"), this);
    m_Command1->setObjectName(QStringLiteral("Command1"));
    m_Command1->setGeometry(twipsRect(120, 4440, 1215, 375));

    setTabOrder(m_Command1, m_ListView1);
    m_Command1->setFocus();

    connect(m_Command1, &QPushButton::clicked, this, &FrmGetInfo::Command1_Click);
}

bool FrmGetInfo::Form_Load()
{
    m_ListView1->enableFullRowSelect();

    // Until the first order has been printed there is no order list.
    const QString path = m_frm.dataDirectory().orderList();
    if (!datafiles::isFile(path))
        return true;
    const datafiles::ReadResult read = datafiles::readWholeFile(path);
    if (!read.ok()) {
        MessageBox::reportFailure(&m_frm, QStringLiteral("läsa listan över utskrivna order"), path, read.error);
        return false;
    }

    bool incomplete = false;
    m_ListView1->reportModel()->appendRows(datafiles::readRecords(read.bytes, orderListFields, &incomplete));
    if (incomplete)
        reportIncompleteFile(&m_frm, path,
                             QStringLiteral("De order som står hela i filen visas; den sista visas inte."));
    return true;
}

void FrmGetInfo::Command1_Click()
{
    const int row = m_ListView1->firstSelectedRow();
    if (row < 0) {
        MessageBox::show(this, MessageBox::Icon::Information, QString(),
                         QStringLiteral("Välj först den order i listan vars rader ska hämtas."));
        return;
    }

    const QString orderNumber = m_ListView1->reportModel()->rowTexts(row).at(1);
    // An order printed without lines never had a basket file.
    const std::optional<QString> path = m_frm.dataDirectory().basketFile(orderNumber);
    if (!path || !datafiles::isFile(*path)) {
        MessageBox::show(this, MessageBox::Icon::Information, QString(),
                         QStringLiteral("Order %1 har inga sparade orderrader.").arg(orderNumber));
        return;
    }
    const datafiles::ReadResult read = datafiles::readWholeFile(*path);
    if (!read.ok()) {
        MessageBox::reportFailure(this, QStringLiteral("hämta orderraderna för order %1").arg(orderNumber), *path,
                                  read.error);
        return;
    }

    bool incomplete = false;
    m_frm.ListView1()->reportModel()->appendRows(datafiles::readRecords(read.bytes, basketFields, &incomplete));
    if (incomplete)
        reportIncompleteFile(
            this, *path,
            QStringLiteral("De orderrader som står hela i filen har hämtats; den sista har inte hämtats."));
}
