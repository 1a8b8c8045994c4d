#pragma once

#include "support/datafolder.h"

#include "orderwindow/orderwindow.h"
#include "widgets/messagebox.h"

#include <QApplication>

#include <memory>
#include <utility>

class QAbstractItemView;
class QAction;
class ReportListView;
class TextBox;

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
// every message box taken down instead of shown. The desk's clock stands at
// the first moment of `today` (6 December 2026 unless given).
class OrderDesk
{
public:
    using Files = QList<std::pair<QString, QByteArray>>;
    explicit OrderDesk(const Files& files = {}, const QDate& today = QDate(2026, 12, 6));

    // The order window's boxes and its order-line list, by name.
    TextBox* box(const char* name) const { return textBox(window, name); }
    ReportListView* lines() const { return listView(window); }
    const core::Order& order() const { return window.order(); }
    // Puts the order on the desk as it stands, writing nothing.
    void show(const core::Order& order) { window.openOrder().replaceForTesting(order); }

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
