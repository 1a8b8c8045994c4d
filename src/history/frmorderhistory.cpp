#include "frmorderhistory.h"

#include "orderdetail.h"
#include "orderhistorymodel.h"
#include "pdfwindow.h"

#include "datafiles/textfile.h"
#include "office/mail.h"
#include "order/company.h"
#include "order/customers.h"
#include "printing/orderdocument.h"
#include "printing/output/reprint.h"
#include "printjob/printjob.h"
#include "widgets/accessible.h"
#include "widgets/controls.h"
#include "widgets/filewatch.h"
#include "widgets/look.h"
#include "widgets/messagebox.h"
#include "widgets/reportlistview.h"
#include "widgets/textbox.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSet>
#include <QShortcut>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

using Field = core::Order::Field;

// The filter's choices, in the order the list offers them.
const std::pair<const char*, core::StatusFilter> filters[] = {
    { "Alla", core::StatusFilter::All },
    { "Ej levererade", core::StatusFilter::NotDelivered },
    { "Ej fakturerade", core::StatusFilter::NotInvoiced },
    { "Makulerade", core::StatusFilter::Voided },
};

QString count(qsizetype n)
{
    return QLocale(QLocale::Swedish).toString(n);
}

} // namespace

FrmOrderHistory::FrmOrderHistory(datafiles::DataDirectory data, core::OpenOrder::Clock clock)
    : QWidget(nullptr)
    , m_data(std::move(data))
    , m_clock(std::move(clock))
    , m_wording(m_data)
{
    setObjectName(QStringLiteral("frmOrderhistorik"));
    setWindowTitle(QStringLiteral("Orderhistorik"));
    setWindowFlags(Qt::Window);
    setFont(look::sansSerif(8.25, false));
    setupControls();
    look::placeOnScreen(*this, QSize(1060, 620));
}

FrmOrderHistory* FrmOrderHistory::open(const datafiles::DataDirectory& data, core::OpenOrder::Clock clock,
                                       QWidget* parent)
{
    core::OrderHistoryRead read = core::readOrderHistory(data);
    if (read.failure) {
        MessageBox::reportFailure(parent, *read.failure);
        return nullptr;
    }
    auto* window = new FrmOrderHistory(data, std::move(clock));
    window->m_status = std::move(read.status);
    window->Form_Load(std::move(read.history));
    // The orders other desks print, and the states they change, show within
    // a few seconds.
    window->m_watch = new FileWatch(window, { data.orderList(), data.statusFile() });
    connect(window->m_watch, &FileWatch::changed, window, &FrmOrderHistory::readAgain);
    for (const datafiles::Failure& cut : std::as_const(read.cutShort))
        MessageBox::reportFailure(parent, cut);
    return window;
}

void FrmOrderHistory::setupControls()
{
    auto* layout = new QVBoxLayout(this);

    auto* searchRow = new QHBoxLayout;
    auto* searchCaption = new QLabel(QStringLiteral("Sök:"), this);
    m_txtSok = new TextBox(this);
    m_txtSok->setObjectName(QStringLiteral("txtSok"));
    m_txtSok->setPlaceholderText(QStringLiteral("Ordernr, kundnr eller namn"));
    m_txtSok->setClearButtonEnabled(true);
    accessible::label(searchCaption, m_txtSok);
    auto* filterCaption = new QLabel(QStringLiteral("Fil&ter:"), this);
    m_cboFilter = new QComboBox(this);
    m_cboFilter->setObjectName(QStringLiteral("cboFilter"));
    for (const auto& [caption, filter] : filters)
        m_cboFilter->addItem(QString::fromUtf8(caption));
    accessible::label(filterCaption, m_cboFilter);
    searchRow->addWidget(searchCaption);
    searchRow->addWidget(m_txtSok, 1);
    searchRow->addSpacing(12);
    searchRow->addWidget(filterCaption);
    searchRow->addWidget(m_cboFilter);
    layout->addLayout(searchRow);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(setupList());
    m_detail = new OrderDetail(this);
    splitter->addWidget(m_detail);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({ 460, 580 });
    layout->addWidget(splitter, 1);

    const auto addButton = [this](QHBoxLayout* row, const char* name, const QString& caption) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        row->addWidget(button);
        return button;
    };
    auto* documents = new QHBoxLayout;
    m_cmdVisa = addButton(documents, "cmdVisa", QStringLiteral("&Visa"));
    m_cmdSkrivUtIgen = addButton(documents, "cmdSkrivUtIgen", QStringLiteral("Skriv &ut igen"));
    m_cmdFoljesedel = addButton(documents, "cmdFoljesedel", QStringLiteral("Skriv föl&jesedel"));
    m_cmdEpost = addButton(documents, "cmdEpost", QStringLiteral("Skicka med &e-post"));
    m_cmdNyOrder = addButton(documents, "cmdNyOrder", QStringLiteral("&Ny order från denna"));
    documents->addStretch();
    m_cmdStang = addButton(documents, "cmdStang", QStringLiteral("&Stäng"));
    auto* states = new QHBoxLayout;
    m_cmdLevererad = addButton(states, "cmdLevererad", QStringLiteral("Markera &levererad"));
    m_cmdFakturerad = addButton(states, "cmdFakturerad", QStringLiteral("Markera &fakturerad"));
    m_cmdMakulera = addButton(states, "cmdMakulera", QStringLiteral("&Makulera…"));
    m_cmdAngra = addButton(states, "cmdAngra", QStringLiteral("Ån&gra status"));
    m_cmdAngra->setToolTip(QStringLiteral("Sätter tillbaka ordern till den status den hade före den senaste "
                                          "ändringen."));
    states->addStretch();
    layout->addLayout(states);
    layout->addLayout(documents);

    connect(m_txtSok, &QLineEdit::textChanged, this, &FrmOrderHistory::txtSok_Change);
    connect(m_cboFilter, &QComboBox::currentIndexChanged, this, &FrmOrderHistory::cboFilter_Change);
    connect(m_cmdVisa, &QPushButton::clicked, this, &FrmOrderHistory::cmdVisa_Click);
    connect(m_cmdSkrivUtIgen, &QPushButton::clicked, this, &FrmOrderHistory::cmdSkrivUtIgen_Click);
    connect(m_cmdFoljesedel, &QPushButton::clicked, this, &FrmOrderHistory::cmdFoljesedel_Click);
    connect(m_cmdEpost, &QPushButton::clicked, this, &FrmOrderHistory::cmdEpost_Click);
    connect(m_cmdNyOrder, &QPushButton::clicked, this, &FrmOrderHistory::cmdNyOrder_Click);
    connect(m_cmdLevererad, &QPushButton::clicked, this, &FrmOrderHistory::cmdLevererad_Click);
    connect(m_cmdFakturerad, &QPushButton::clicked, this, &FrmOrderHistory::cmdFakturerad_Click);
    connect(m_cmdMakulera, &QPushButton::clicked, this, &FrmOrderHistory::cmdMakulera_Click);
    connect(m_cmdAngra, &QPushButton::clicked, this, &FrmOrderHistory::cmdAngra_Click);
    connect(m_cmdStang, &QPushButton::clicked, this, &FrmOrderHistory::cmdStang_Click);
    connect(m_orderList, &QAbstractItemView::doubleClicked, this, &FrmOrderHistory::cmdVisa_Click);
    closeOnEscape(this, &FrmOrderHistory::cmdStang_Click);

    m_txtSok->installEventFilter(this);
    m_orderList->installEventFilter(this);
    setTabOrder(m_txtSok, m_cboFilter);
    setTabOrder(m_cboFilter, m_orderList);
    m_txtSok->setFocus();
    clearDetail();
}

QWidget* FrmOrderHistory::setupList()
{
    auto* list = new QWidget(this);
    auto* layout = new QVBoxLayout(list);
    layout->setContentsMargins(0, 0, 0, 0);
    m_orderList = new ReportListView(list);
    m_orderList->setObjectName(QStringLiteral("ListView1"));
    accessible::name(m_orderList, QStringLiteral("Utskrivna order"),
                     QStringLiteral("Enter visar den markerade orderns PDF-kopia"));
    m_orderList->enableFullRowSelect();
    // Several orders can be chosen at once for the status commands.
    m_orderList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(m_orderList, 1);
    m_lblAntal = new ValueLabel(QStringLiteral("Antal order"), list);
    m_lblAntal->setObjectName(QStringLiteral("lblAntal"));
    layout->addWidget(m_lblAntal);
    return list;
}

void FrmOrderHistory::Form_Load(core::OrderHistory history)
{
    m_model = new OrderHistoryModel(std::move(history), this);
    m_orderList->setModel(m_model);
    m_orderList->setDesignWidths({ 900, 900, 900, 2700, 1200 });
    connect(m_orderList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { chooseRow(current.isValid() ? current.row() : -1); });
    connect(m_orderList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FrmOrderHistory::enableStatusCommands);
    listFound();
}

void FrmOrderHistory::txtSok_Change()
{
    if (!m_model)
        return;
    m_model->search(m_txtSok->text(), filters[m_cboFilter->currentIndex()].second);
    listFound();
}

void FrmOrderHistory::cboFilter_Change()
{
    txtSok_Change();
}

void FrmOrderHistory::listFound()
{
    QString counted = QStringLiteral("%1 order").arg(count(m_model->foundCount()));
    // An order the filter hides must not look like one that is not there.
    if (m_model->hiddenByFilter() > 0)
        counted
            += (m_txtSok->text().trimmed().isEmpty() ? QStringLiteral(". Filtret döljer %1 till.")
                                                     : QStringLiteral(". Filtret döljer %1 till som sökningen hittar."))
                   .arg(count(m_model->hiddenByFilter()));
    m_lblAntal->setValue(counted);
    chooseRow(m_model->rowCount() > 0 ? 0 : -1);
}

void FrmOrderHistory::chooseRow(int row)
{
    if (row < 0) {
        m_orderList->selectionModel()->clear();
        m_chosen.reset();
        clearDetail();
        return;
    }
    const QModelIndex index = m_model->index(row, 0);
    if (m_orderList->currentIndex() != index) {
        // Setting the current row comes back here through the selection model.
        m_orderList->selectionModel()->setCurrentIndex(index,
                                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_orderList->scrollTo(index);
        return;
    }
    const core::ArchivedOrder archived = core::readArchivedOrder(m_data, m_model->orderNumber(row));
    m_chosen = archived.order;
    m_detail->showOrder(archived, m_wording);
    showChosen();
}

void FrmOrderHistory::clearDetail()
{
    m_detail->clear();
    for (QPushButton* button : { m_cmdVisa, m_cmdSkrivUtIgen, m_cmdFoljesedel, m_cmdEpost, m_cmdNyOrder }) {
        button->setEnabled(false);
        button->setToolTip(QString());
    }
    enableStatusCommands();
}

void FrmOrderHistory::showChosen()
{
    const QString number = m_chosen->text(Field::OrderNumber);
    const QString copy = keptCopy();
    const QString tip = copy.isEmpty() ? QStringLiteral("Ingen PDF-kopia är sparad för order %1.").arg(number)
                                       : QDir::toNativeSeparators(copy);
    for (QPushButton* button : { m_cmdVisa, m_cmdSkrivUtIgen, m_cmdEpost }) {
        button->setEnabled(!copy.isEmpty());
        button->setToolTip(tip);
    }
    m_cmdFoljesedel->setEnabled(true);
    m_cmdNyOrder->setEnabled(true);
    m_detail->showStatus(m_status.stateOf(number), m_status.changesOf(number));
    enableStatusCommands();
}

QStringList FrmOrderHistory::chosenNumbers() const
{
    // An order printed twice is listed twice and changes once.
    QStringList numbers;
    QSet<QString> seen;
    for (int row : m_orderList->selectedRows()) {
        const QString number = m_model->orderNumber(row);
        if (!seen.contains(number)) {
            seen.insert(number);
            numbers.append(number);
        }
    }
    if (numbers.isEmpty() && m_chosen)
        numbers.append(m_chosen->text(Field::OrderNumber));
    return numbers;
}

void FrmOrderHistory::enableStatusCommands()
{
    QList<core::OrderState> states;
    if (m_model) {
        for (int row : m_orderList->selectedRows())
            states.append(m_model->state(row));
    }
    if (states.isEmpty() && m_chosen)
        states.append(m_status.stateOf(m_chosen->text(Field::OrderNumber)));
    const auto appliesToAny = [&states](core::StatusCommand command) {
        return std::any_of(states.cbegin(), states.cend(),
                           [command](core::OrderState state) { return core::applies(command, state); });
    };
    m_cmdLevererad->setEnabled(appliesToAny(core::StatusCommand::Deliver));
    m_cmdFakturerad->setEnabled(appliesToAny(core::StatusCommand::Invoice));
    m_cmdMakulera->setEnabled(appliesToAny(core::StatusCommand::Void));
    m_cmdAngra->setEnabled(appliesToAny(core::StatusCommand::Undo));
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
        const int current = m_orderList->currentIndex().isValid() ? m_orderList->currentIndex().row() : -1;
        const int next = current + (key->key() == Qt::Key_Down ? 1 : -1);
        m_model->listUpTo(next);
        if (m_model->rowCount() > 0)
            chooseRow(qBound(0, next, m_model->rowCount() - 1));
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

bool FrmOrderHistory::confirmIfVoided(const QString& doing)
{
    if (!m_chosen)
        return false;
    const std::optional<core::VoidedOrderQuestion> question
        = core::voidedOrderQuestion(m_status, m_chosen->text(Field::OrderNumber), doing);
    return !question || MessageBox::ask(this, question->title, question->text);
}

void FrmOrderHistory::cmdSkrivUtIgen_Click()
{
    const QString copy = keptCopy();
    if (copy.isEmpty() || !confirmIfVoided(QStringLiteral("skriva ut den igen")))
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

void FrmOrderHistory::cmdEpost_Click()
{
    const QString copy = keptCopy();
    if (copy.isEmpty() || !confirmIfVoided(QStringLiteral("skicka den med e-post")))
        return;
    // The mail program reads the copy itself: it is given no link to follow.
    if (const std::optional<datafiles::Failure> link = datafiles::refuseLink(copy)) {
        MessageBox::reportFailure(
            this, link->during(QStringLiteral("skicka order %1 med e-post").arg(m_chosen->text(Field::OrderNumber))));
        return;
    }
    const QString number = m_chosen->text(Field::CustomerNumber);
    const QString address = core::customerEmail(m_data, number);
    if (address.isEmpty()) {
        const QString name = m_chosen->text(Field::CustomerLine1);
        if (MessageBox::ask(this, QStringLiteral("Skicka med e-post"),
                            QStringLiteral("Kund %1, %2, har ingen e-postadress i kundregistret, så ordern kan inte "
                                           "skickas.\r\n\r\nVill du lägga till en adress?")
                                .arg(number, name),
                            true))
            emit emailAddressWanted(
                { number, name, m_chosen->text(Field::CustomerLine2), m_chosen->text(Field::CustomerLine3), {} });
        return;
    }
    const office::MailOpening opened
        = office::openMessage(office::orderMessage(*m_chosen, address, copy, core::readCompany(m_data).company));
    if (opened.failure) {
        MessageBox::reportFailure(this, *opened.failure);
        return;
    }
    if (!opened.noMailProgram)
        return;
    const QString folder = QFileInfo(copy).absolutePath();
    const bool openFolder = MessageBox::ask(
        this, QString(),
        QStringLiteral("Det finns inget e-postprogram inställt på den här datorn, så inget meddelande kunde "
                       "öppnas.\r\n\r\nPDF-kopian av order %1 finns i\r\n%2\r\n\r\nVill du öppna mappen?")
            .arg(m_chosen->text(Field::OrderNumber), QDir::toNativeSeparators(copy)),
        true);
    if (!openFolder)
        return;
    if (const std::optional<datafiles::Failure> failure = office::openFolder(folder))
        MessageBox::reportFailure(this, *failure);
}

void FrmOrderHistory::cmdNyOrder_Click()
{
    if (m_chosen && confirmIfVoided(QStringLiteral("starta en ny order från den")))
        emit newOrderFrom(*m_chosen);
}

void FrmOrderHistory::cmdFoljesedel_Click()
{
    if (!m_chosen || !confirmIfVoided(QStringLiteral("skriva ut en följesedel för den")))
        return;
    const core::Order order = *m_chosen;
    const QString number = order.text(Field::OrderNumber);
    const printjob::DeliveryNoteOutcome printed
        = printjob::printDeliveryNote(order, printing::designedOrderLineColumns(), m_wording, m_data);
    if (printed.failure) {
        MessageBox::reportFailure(this, *printed.failure);
        return;
    }
    if (!core::applies(core::StatusCommand::Deliver, m_status.stateOf(number))) {
        MessageBox::show(this, MessageBox::Icon::Information, QString(), printed.confirmation);
        return;
    }
    // The goods go out with the note: the same box offers to say so.
    if (MessageBox::ask(this, QString(),
                        printed.confirmation + QStringLiteral("\r\n\r\nMarkera order %1 som levererad?").arg(number),
                        true))
        changeStatus(core::StatusCommand::Deliver, { number });
}

void FrmOrderHistory::cmdLevererad_Click()
{
    changeStatus(core::StatusCommand::Deliver, chosenNumbers());
}

void FrmOrderHistory::cmdFakturerad_Click()
{
    changeStatus(core::StatusCommand::Invoice, chosenNumbers());
}

void FrmOrderHistory::cmdMakulera_Click()
{
    const QStringList numbers = chosenNumbers();
    if (numbers.isEmpty())
        return;
    const std::optional<QString> reason = MessageBox::askText(
        this, QStringLiteral("Makulera"),
        QStringLiteral("Varför makuleras %1? Ordern och dess filer finns kvar.").arg(core::ordersNamed(numbers)),
        QStringLiteral("&Makulera"), 200);
    if (reason)
        changeStatus(core::StatusCommand::Void, numbers, *reason);
}

void FrmOrderHistory::cmdAngra_Click()
{
    changeStatus(core::StatusCommand::Undo, chosenNumbers());
}

void FrmOrderHistory::changeStatus(core::StatusCommand command, const QStringList& numbers, const QString& reason)
{
    // What other desks changed meanwhile first: the change goes from the state
    // the order has now.
    m_watch->look();
    const core::StatusUpdate update = core::changeStatus(m_data, m_status, numbers, command, m_clock(), reason);
    m_watch->markRead();
    if (update.failure) {
        MessageBox::reportFailure(this, *update.failure);
        return;
    }
    if (!update.changed.isEmpty())
        listAgain();
    // The change is saved; the cut record before it is what the operator is told of.
    if (update.setAside)
        MessageBox::show(this, MessageBox::Icon::Information, QString(),
                         QStringLiteral("Orderstatus är sparad.\r\n\r\nFil: %1\r\nObs: %2")
                             .arg(QDir::toNativeSeparators(update.setAside->file), update.setAside->reason));
    if (!update.voided.isEmpty())
        MessageBox::show(this, MessageBox::Icon::Information, QString(),
                         core::voidedLeftAsTheyAre(update.voided, command));
}

void FrmOrderHistory::readAgain()
{
    m_watch->markRead();
    core::OrderHistoryRead read = core::readOrderHistory(m_data);
    if (read.failure)
        return;
    m_status = std::move(read.status);
    listAgain(std::move(read.history));
}

void FrmOrderHistory::listAgain(std::optional<core::OrderHistory> readAgain)
{
    const int currentRow = m_orderList->currentIndex().isValid() ? m_orderList->currentIndex().row() : 0;
    int currentPlace = m_model->rowCount() > currentRow ? m_model->place(currentRow) : -1;
    QList<int> selectedPlaces;
    for (int row : m_orderList->selectedRows())
        selectedPlaces.append(m_model->place(row));

    if (readAgain) {
        // The orders printed since come first: those listed before keep
        // their order but not their places.
        const qsizetype added = m_model->takeHistory(std::move(*readAgain), m_status);
        for (int& place : selectedPlaces)
            place = added < 0 ? -1 : place + int(added);
        if (currentPlace >= 0)
            currentPlace = added < 0 ? -1 : currentPlace + int(added);
    } else {
        m_model->takeStates(m_status);
    }
    listFound();
    int row = currentPlace >= 0 ? m_model->rowOfPlace(currentPlace) : -1;
    if (row < 0) {
        // The filter no longer lists it: the order that took its row is chosen.
        m_model->listUpTo(currentRow);
        row = std::min(currentRow, m_model->rowCount() - 1);
    }
    chooseRow(row);
    QItemSelection selection;
    for (int place : std::as_const(selectedPlaces)) {
        const int selected = m_model->rowOfPlace(place);
        if (selected >= 0 && selected != row)
            selection.select(m_model->index(selected, 0), m_model->index(selected, m_model->columnCount() - 1));
    }
    m_orderList->selectionModel()->select(selection, QItemSelectionModel::Select);
}

void FrmOrderHistory::cmdStang_Click()
{
    close();
}
