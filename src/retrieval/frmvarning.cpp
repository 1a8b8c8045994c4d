#include "frmvarning.h"

#include "datafiles/records.h"
#include "datafiles/textfile.h"
#include "widgets/accessible.h"
#include "widgets/controls.h"
#include "widgets/look.h"
#include "widgets/messagebox.h"
#include "widgets/twips.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>

FrmVarning::FrmVarning(datafiles::DataDirectory data)
    : QWidget(nullptr)
    , m_data(std::move(data))
{
    setObjectName(QStringLiteral("frmVarning"));
    setWindowTitle(QStringLiteral("Felmeddelanden"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(look::sansSerif(8.25, false));
    setupControls();

    setFixedSize(twipsToPixels(7215), twipsToPixels(4935));
    look::placeOnScreen(*this, size());
}

FrmVarning* FrmVarning::open(const datafiles::DataDirectory& data)
{
    auto* window = new FrmVarning(data);
    window->Form_Load();
    return window;
}

void FrmVarning::setupControls()
{
    m_List1 = new QListWidget(this);
    m_List1->setObjectName(QStringLiteral("List1"));
    m_List1->setGeometry(twipsRect(120, 120, 6975, 2010));
    m_List1->setSelectionMode(QAbstractItemView::SingleSelection);

    m_List2 = new QListWidget(this);
    m_List2->setObjectName(QStringLiteral("List2"));
    m_List2->setGeometry(twipsRect(120, 2280, 6975, 2010));
    m_List2->setSelectionMode(QAbstractItemView::SingleSelection);

    accessible::name(m_List1, QStringLiteral("Felkoder"));
    accessible::name(m_List2, QStringLiteral("Felmeddelande"));

    m_closeButton = new QPushButton(QStringLiteral("&Stäng"), this);
    m_closeButton->setObjectName(QStringLiteral("Command1"));
    m_closeButton->setGeometry(twipsRect(5880, 4440, 1215, 375));

    setTabOrder(m_List1, m_List2);
    setTabOrder(m_List2, m_closeButton);
    m_List1->setFocus();

    connect(m_List1, &QListWidget::itemSelectionChanged, this, &FrmVarning::List1_Click);
    connect(m_closeButton, &QPushButton::clicked, this, &FrmVarning::closeWindow);
    closeOnEscape(this, &FrmVarning::closeWindow);
}

void FrmVarning::Form_Load()
{
    m_List1->clear();
    m_List1->addItems(catalogueLines(m_data.errorIndex(), QStringLiteral("läsa felmeddelandenas förteckning")));
    // No id is chosen yet; without this the list would mark its first id as
    // current when it gets the focus, and the arrow keys would skip it.
    m_List1->setCurrentIndex(QModelIndex());
    List1_Click();
}

void FrmVarning::List1_Click()
{
    const QList<QListWidgetItem*> selected = m_List1->selectedItems();
    showEntry(selected.isEmpty() ? QString() : selected.first()->text());
}

void FrmVarning::closeWindow()
{
    close();
}

void FrmVarning::showEntry(const QString& id)
{
    m_List2->clear();
    m_List2->addItems(catalogueLines(m_data.errorEntry(id), QStringLiteral("läsa felmeddelandet")));
}

QStringList FrmVarning::catalogueLines(const std::optional<QString>& path, const QString& operation)
{
    if (!path || !datafiles::isFile(*path))
        return {};
    const datafiles::ReadResult read = datafiles::readWholeFile(*path);
    if (!read.ok()) {
        MessageBox::reportFailure(this, read.failure->during(operation));
        return {};
    }
    return datafiles::readLines(read.bytes);
}
