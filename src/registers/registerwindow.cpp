#include "registerwindow.h"

#include "widgets/controls.h"
#include "widgets/filewatch.h"
#include "widgets/look.h"
#include "widgets/messagebox.h"
#include "widgets/reporttableview.h"
#include "widgets/textbox.h"

#include <QAction>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

RegisterWindow::RegisterWindow(const Captions& captions)
    : QWidget(nullptr)
    , m_row(captions.row)
    , m_recordTitle(captions.recordTitle)
    , m_notSaved(captions.notSaved)
{
    setObjectName(QLatin1String(captions.objectName));
    setWindowTitle(captions.title);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint);
    setFont(look::sansSerif(8.25, false));

    auto* layout = new QVBoxLayout(this);
    if (captions.searchable) {
        auto* search = new QHBoxLayout;
        m_txtSok = new TextBox(this);
        m_txtSok->setObjectName(QStringLiteral("txtSok"));
        m_txtSok->setClearButtonEnabled(true);
        m_txtSok->installEventFilter(this);
        auto* label = new QLabel(QStringLiteral("&Sök:"), this);
        label->setBuddy(m_txtSok);
        search->addWidget(label);
        search->addWidget(m_txtSok, 1);
        layout->addLayout(search);
        connect(m_txtSok, &QLineEdit::textChanged, this, [this] { txtSok_Change(); });
    }

    m_list = new ReportTableView(this);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setAccessibleName(captions.listName);
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    layout->addWidget(m_list, 1);

    auto* buttons = new QHBoxLayout;
    m_lblAntal = new QLabel(this);
    m_lblAntal->setObjectName(QStringLiteral("lblAntal"));
    buttons->addWidget(m_lblAntal, 1);
    auto addButton = [this, buttons](const char* name, const QString& caption) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(true);
        buttons->addWidget(button);
        return button;
    };
    m_cmdNy = addButton("cmdNy", captions.newCaption);
    m_cmdAndra = addButton("cmdAndra", QStringLiteral("&Ändra"));
    m_cmdTaBort = addButton("cmdTaBort", QStringLiteral("&Ta bort"));
    m_cmdTom = addButton("cmdTom", QStringLiteral("T&öm registret…"));
    m_cmdAngraTomning = addButton("cmdAngraTomning", QStringLiteral("&Ångra tömningen"));
    m_cmdStang = addButton("cmdStang", QStringLiteral("Stän&g"));
    layout->addLayout(buttons);
    connect(m_cmdNy, &QPushButton::clicked, this, &RegisterWindow::cmdNy_Click);
    connect(m_cmdAndra, &QPushButton::clicked, this, &RegisterWindow::cmdAndra_Click);
    connect(m_cmdTaBort, &QPushButton::clicked, this, &RegisterWindow::cmdTaBort_Click);
    connect(m_cmdStang, &QPushButton::clicked, this, &RegisterWindow::cmdStang_Click);
    connect(m_cmdTom, &QPushButton::clicked, this, &RegisterWindow::cmdTom_Click);
    connect(m_cmdAngraTomning, &QPushButton::clicked, this, &RegisterWindow::cmdAngraTomning_Click);
    closeOnEscape(this, &RegisterWindow::cmdStang_Click);

    // Del removes while the list has the focus; in the search box it still
    // deletes a character.
    auto* remove = new QAction(m_list);
    remove->setShortcut(Qt::Key_Delete);
    remove->setShortcutContext(Qt::WidgetShortcut);
    connect(remove, &QAction::triggered, this, &RegisterWindow::cmdTaBort_Click);
    m_list->addAction(remove);

    if (m_txtSok) {
        setTabOrder(m_txtSok, m_list);
        m_txtSok->setFocus();
    } else {
        m_list->setFocus();
    }
}

int RegisterWindow::chosenRow() const
{
    const int selected = m_list->firstSelectedRow();
    if (selected >= 0)
        return selected;
    const QModelIndex current = m_list->currentIndex();
    return current.isValid() && m_list->selectionModel()->isRowSelected(current.row()) ? current.row() : -1;
}

int RegisterWindow::rowToWorkOn()
{
    const int row = chosenRow();
    if (row < 0)
        MessageBox::show(this, MessageBox::Icon::Information, {},
                         QStringLiteral("Välj först en %1 i listan.").arg(m_row));
    return row;
}

void RegisterWindow::showEmptying()
{
    const Emptied register_ = emptied();
    m_cmdTom->setEnabled(register_.count > 0);
    m_cmdAngraTomning->setVisible(register_.canUndo);
}

void RegisterWindow::cmdTom_Click()
{
    const Emptied register_ = emptied();
    const qsizetype count = register_.count;
    if (!MessageBox::ask(this, QStringLiteral("Töm registret"),
                         QStringLiteral("Ta bort alla %1 %2 ur registret %3?\r\n\r\nDet kan ångras med \"Ångra "
                                        "tömningen\".")
                             .arg(count)
                             .arg(register_.rows, register_.name)))
        return;
    if (const std::optional<datafiles::Failure> failure = emptyRegister())
        tellNotSaved(*failure);
    else
        reload();
}

void RegisterWindow::cmdAngraTomning_Click()
{
    const Emptied register_ = emptied();
    if (!MessageBox::ask(this, QStringLiteral("Ångra tömningen"),
                         QStringLiteral("Lägga tillbaka registret %1 som det stod före tömningen? Det som lagts "
                                        "till sedan dess tas bort.")
                             .arg(register_.name)))
        return;
    if (const std::optional<datafiles::Failure> failure = undoEmptying())
        MessageBox::reportFailure(this, *failure);
    reload();
}

bool RegisterWindow::readAndList(QWidget* parent)
{
    markWritten();
    const Reading read = readRegister();
    showEmptying();
    if (read.failure || read.notice)
        MessageBox::reportFailure(parent, read.failure ? *read.failure : *read.notice);
    return !read.failure;
}

void RegisterWindow::reload()
{
    readAndList(this);
}

void RegisterWindow::watch(const QStringList& files)
{
    m_watch = new FileWatch(this, files);
    connect(m_watch, &FileWatch::changed, this, [this] {
        if (!m_form)
            reload();
    });
}

void RegisterWindow::markWritten()
{
    if (m_watch)
        m_watch->markRead();
}

void RegisterWindow::tellNotSaved(const datafiles::Failure& failure)
{
    if (failure.is(datafiles::FailureKind::RefusedByRule))
        MessageBox::show(this, MessageBox::Icon::Information, m_recordTitle, m_notSaved.arg(failure.reason));
    else
        MessageBox::reportFailure(this, failure);
    if (failure.is(datafiles::FailureKind::ChangedSinceRead)) {
        if (m_form)
            m_form->reject();
        reload();
    }
}

void RegisterWindow::showForm(QDialog* form)
{
    m_form = form;
    form->show();
    form->activateWindow();
}

void RegisterWindow::chooseRow(int row)
{
    if (row < 0 || row >= m_list->model()->rowCount())
        return;
    const QModelIndex index = m_list->model()->index(row, 0);
    m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_list->scrollTo(index);
}

void RegisterWindow::cmdStang_Click()
{
    close();
}

bool RegisterWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (watched == m_list && enter) {
            cmdAndra_Click();
            return true;
        }
        if (watched == m_txtSok && (key == Qt::Key_Down || enter) && m_list->model()->rowCount() > 0) {
            if (chosenRow() < 0)
                chooseRow(0);
            m_list->setFocus();
            if (enter)
                cmdAndra_Click();
            return true;
        }
    } else if (watched == m_list && event->type() == QEvent::FocusIn) {
        // Tabbed into, the list has its first row chosen, for Enter and Del.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) && chosenRow() < 0)
            chooseRow(0);
    } else if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto* click = static_cast<QMouseEvent*>(event);
        const QModelIndex row = m_list->indexAt(click->position().toPoint());
        if (click->button() == Qt::LeftButton && row.isValid()) {
            chooseRow(row.row());
            cmdAndra_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
