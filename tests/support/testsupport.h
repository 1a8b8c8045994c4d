#pragma once

#include "datafiles/datadirectory.h"
#include "order/order.h"
#include "orderwindow/orderwindow.h"
#include "widgets/messagebox.h"

#include <QApplication>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <utility>

class QAbstractItemView;
class QAction;
class ReportListView;
class TextBox;

// A program folder of a test's own, with an empty System folder laid out as the
// program expects it: Customer, Registret, Registret/Felmeddelande and Order.
class TestDataFolder
{
public:
    TestDataFolder();

    datafiles::DataDirectory data() const;
    QString programFolder() const;
    // A path under System, e.g. "Registret/OrderNr.dbf".
    QString path(const QString& underSystem) const;

    void write(const QString& underSystem, const QByteArray& bytes) const;
    QByteArray read(const QString& underSystem) const;
    bool exists(const QString& underSystem) const;
    void remove(const QString& underSystem) const;

    // Copies one file of the bundled sample data to the same place here, or,
    // given nothing, puts the whole sample System folder in place of this one.
    void copySample(const QString& underSystem = QString()) const;

private:
    QTemporaryDir m_dir;
};

// The bundled sample System folder copied into systemFolder, which is made if
// need be.
void copySampleData(const QString& systemFolder);

// Line i of the sample order, in the order-line list's columns.
QStringList orderLine(int i);

// Lines of a plain order, in the order-line list's columns: line n is article
// "A-n", "Vara n", n of them at 1.00.
QList<QStringList> numberedLines(const QList<int>& numbers);

// Order lines of these texts, seven a line.
QList<core::OrderLine> orderLinesOf(const QList<QStringList>& rows);

// Order 124 of 15 March 2006 for customer 1001 of the sample data: paid in 30
// days ("1"), delivered ("1") by post ("0"), VAT 25 % ("0"), with `lines`
// lines of 199.00 each.
core::Order sampleOrder(int lines = 0);

// A control of a window, found by the name the program gives it; nullptr when
// the window has none of that name and kind.
TextBox* textBox(const QWidget& window, const char* name);
ReportListView* listView(const QWidget& window, const char* name = "ListView1");
QAction* menuEntry(const QWidget& window, const char* name);

// Chooses an entry of a window's menus, e.g. "mnuNy", as the operator does
// with the mouse or its key.
void choose(const QWidget& window, const char* menuEntryName);

// The texts of every row of a list, as the operator sees them.
QList<QStringList> rowsOf(const QAbstractItemView* list);

// An order window over a data folder of its own holding the given files, with
// every message box taken down instead of shown. "Ny" takes its date from
// `today` (6 December 2026 unless given).
class OrderDesk
{
public:
    using Files = QList<std::pair<QString, QByteArray>>;
    explicit OrderDesk(const Files& files = {}, const QDate& today = QDate(2026, 12, 6));

    // The order window's boxes and its order-line list, by name.
    TextBox* box(const char* name) const { return textBox(window, name); }
    ReportListView* lines() const { return listView(window); }
    const core::Order& order() const { return window.order(); }

    // Chooses an entry of the order window's menus, e.g. "mnuNy".
    void choose(const char* menuEntryName) { ::choose(window, menuEntryName); }
    // Chooses a menu entry and returns the one window of that kind it left
    // open: none, or more than one, gives nullptr.
    template<typename Window>
    Window* open(const char* menuEntryName);

    TestDataFolder folder;
    MessageBox::Recorder boxes;

private:
    std::unique_ptr<OrderWindow> m_window;

public:
    OrderWindow& window;
};

// The visible top-level windows of a type, as the operator sees them; with a
// name, only the ones of that name.
template<typename Window>
QList<Window*> visibleWindows(const char* name = nullptr)
{
    QList<Window*> found;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<Window*>(top);
        if (window && window->isVisible() && (!name || window->objectName() == QLatin1String(name)))
            found.append(window);
    }
    return found;
}

// The one visible window of a type; nullptr when there is none or several.
template<typename Window>
Window* visibleWindow(const char* name = nullptr)
{
    const QList<Window*> found = visibleWindows<Window>(name);
    return found.size() == 1 ? found.first() : nullptr;
}

template<typename Window>
Window* OrderDesk::open(const char* menuEntryName)
{
    choose(menuEntryName);
    return visibleWindow<Window>();
}

// Shows the window and waits until it is the active one, as it is for the
// operator, so that its function keys reach it.
[[nodiscard]] bool showActive(QWidget& window);

// A mouse click on a row of a list, in the given column.
void clickRow(ReportListView* list, int row, int column = 0);
