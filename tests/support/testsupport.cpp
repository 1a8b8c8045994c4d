#include "testsupport.h"

#include "widgets/reportlistview.h"
#include "widgets/textbox.h"

#include <QAbstractItemView>
#include <QAction>
#include <QTest>
#include <QWidget>

TextBox* textBox(const QWidget& window, const char* name)
{
    return window.findChild<TextBox*>(QLatin1String(name));
}

ReportListView* listView(const QWidget& window, const char* name)
{
    return window.findChild<ReportListView*>(QLatin1String(name));
}

QAction* menuEntry(const QWidget& window, const char* name)
{
    return window.findChild<QAction*>(QLatin1String(name));
}

namespace {

datafiles::DataDirectory holding(const TestDataFolder& folder, const OrderDesk::Files& files)
{
    for (const auto& [underSystem, bytes] : files)
        folder.write(underSystem, bytes);
    return folder.data();
}

} // namespace

OrderDesk::OrderDesk(const Files& files, const QDate& today)
    : m_window(OrderWindow::create(holding(folder, files), [today] { return today.startOfDay(); }))
    , window(*m_window)
{
}

void choose(const QWidget& window, const char* menuEntryName)
{
    QAction* entry = menuEntry(window, menuEntryName);
    if (!entry)
        qFatal("The window has no menu entry %s", menuEntryName);
    entry->trigger();
}

QList<QStringList> rowsOf(const QAbstractItemView* list)
{
    const QAbstractItemModel* model = list->model();
    QList<QStringList> rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList texts;
        for (int column = 0; column < model->columnCount(); ++column)
            texts.append(model->index(row, column).data().toString());
        rows.append(texts);
    }
    return rows;
}

bool showActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

void clickRow(ReportListView* list, int row, int column)
{
    const QRect cell = list->visualRect(list->model()->index(row, column));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
}
