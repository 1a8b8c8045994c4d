// The order history over 100,000 printed orders: opening it from the order
// window and one keystroke in its search box, each until the window is drawn
// again.

#include "order/orderhistory.h"
#include "orderwindow/orderwindow.h"
#include "widgets/messagebox.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include "benchmain.h"

namespace {

constexpr int printedOrders = 100'000;

const char* const surnames[] = {
    "Andersson", "Bergström", "Carlsson", "Danielsson", "Eriksson",  "Forsberg", "Gustafsson", "Hansson",
    "Isaksson",  "Johansson", "Karlsson", "Lindström",  "Magnusson", "Nilsson",  "Olsson",     "Persson",
    "Åkesson",   "Öberg",     "Sjöberg",  "Wallin",     "Lundgren",  "Holm",     "Ek",         "Söderberg",
};
const char* const kinds[] = { "Bygg AB", "Måleri", "Trä & Tak", "El HB", "Rör AB", "Snickeri", "", "Fastigheter" };

// An order list of 100,000 printings, as the program appends them: about 45
// bytes a line, Windows-1252, CR LF. The newest order's own files are there,
// as the window reads them when it opens.
struct PrintedHistory
{
    PrintedHistory()
    {
        QDir(folder.path()).mkpath(QStringLiteral("System/Order"));
        QDir(folder.path()).mkpath(QStringLiteral("System/Registret"));
        QByteArray list;
        list.reserve(qsizetype(printedOrders) * 48);
        for (int i = 0; i < printedOrders; ++i) {
            const int customer = (i * 7919) % 5000 + 1;
            const QString name = QStringLiteral("%1 %2")
                                     .arg(QString::fromUtf8(surnames[customer % std::size(surnames)]),
                                          QString::fromUtf8(kinds[customer % std::size(kinds)]))
                                     .trimmed();
            list += "\"2" + QByteArray::number(50101 + (i / 300) % 1200).right(5) + "\",\"";
            list += QByteArray::number(1000 + i) + "\",\"" + QByteArray::number(customer) + "\",\"";
            list += name.toLatin1() + "\"\r\n";
        }
        write("Order/lista.dbf", list);
        const QByteArray last = QByteArray::number(1000 + printedOrders - 1);
        write("Order/" + last + "_data1.dbf", "1042\r\nBergstr\xF6m Bygg AB\r\nIndustriv\xE4gen 14\r\n\r\n\r\n");
        write("Order/" + last + "_data2.dbf", last + "\r\n261207\r\n261206\r\n0\r\n\r\n0\r\n0\r\n0\r\n");
        write("Order/" + last + ".basket.dbf",
              "\"TS35-25\",\"Tr\xE4skruv\",\"f\xF6rp\",\"99.50\",\"2\",\"0\",\"199.00\"\r\n");
        write("Registret/OrderNr.dbf", last + "\r\n");
        listBytes = list.size();
    }

    void write(const QString& underSystem, const QByteArray& bytes) const
    {
        QFile file(folder.path() + QStringLiteral("/System/") + underSystem);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(underSystem));
    }

    datafiles::DataDirectory data() const { return datafiles::DataDirectory(folder.path()); }

    QTemporaryDir folder;
    qsizetype listBytes = 0;
};

const PrintedHistory& printedHistory()
{
    static const PrintedHistory made;
    return made;
}

QWidget* historyWindow()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->objectName() == QLatin1String("frmOrderhistorik"))
            return top;
    }
    return nullptr;
}

void openHistory(OrderWindow& window)
{
    window.findChild<QAction*>(QStringLiteral("mnuOrderhistorik"))->trigger();
}

// F6: the order list read, indexed and listed, the newest order's files read
// into the detail pane, and the window drawn.
void OpenHistory(benchmark::State& state)
{
    const PrintedHistory& history = printedHistory();
    MessageBox::Recorder boxes;
    const std::unique_ptr<OrderWindow> window = OrderWindow::create(history.data());
    window->show();
    for (auto _ : state) {
        openHistory(*window);
        QWidget* shown = historyWindow();
        if (!shown || !QTest::qWaitForWindowExposed(shown)) {
            state.SkipWithError("the history did not show");
            break;
        }
        QApplication::processEvents();
        state.PauseTiming();
        shown->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["list_MB"] = double(history.listBytes) / 1e6;
    if (!boxes.shown.isEmpty())
        state.SkipWithError("a box was shown");
}
BENCHMARK(OpenHistory)->Unit(benchmark::kMillisecond)->Iterations(5);

// The index alone: the order list's entries made searchable.
void IndexOrderList(benchmark::State& state)
{
    const core::OrderListRead list = core::readOrderList(printedHistory().data());
    for (auto _ : state)
        benchmark::DoNotOptimize(core::OrderHistory(list.entries).size());
}
BENCHMARK(IndexOrderList)->Unit(benchmark::kMillisecond);

struct Keystroke
{
    const char* typedBefore;
    QChar key;
};

// Argument: 0 a first letter that finds a sixth of the orders, 1 an order
// number found once, 2 a second word, 3 a letter that finds nothing, 4 a
// letter that lists every order again (backspace over the only letter).
const Keystroke keystrokes[] = {
    { "", u'b' }, { "10099", u'7' }, { "åkesson 12", u'3' }, { "zz", u'q' }, { "b", u'\b' },
};

// One keystroke in the search box: the list searched and shown anew, the
// first order found chosen and its files read, the window drawn.
void SearchKeystroke(benchmark::State& state)
{
    const Keystroke& keystroke = keystrokes[state.range(0)];
    const PrintedHistory& history = printedHistory();
    MessageBox::Recorder boxes;
    const std::unique_ptr<OrderWindow> window = OrderWindow::create(history.data());
    window->show();
    openHistory(*window);
    QWidget* shown = historyWindow();
    if (!shown || !QTest::qWaitForWindowExposed(shown)) {
        state.SkipWithError("the history did not show");
        return;
    }
    auto* search = shown->findChild<QLineEdit*>(QStringLiteral("txtSok"));
    const bool backspace = keystroke.key == u'\b';
    int found = 0;
    for (auto _ : state) {
        state.PauseTiming();
        search->setText(QString::fromUtf8(keystroke.typedBefore));
        QApplication::processEvents();
        state.ResumeTiming();
        if (backspace)
            QTest::keyClick(search, Qt::Key_Backspace);
        else
            QTest::keyClick(search, keystroke.key.toLatin1());
        QApplication::processEvents();
        found = shown->findChild<QAbstractItemView*>(QStringLiteral("ListView1"))->model()->rowCount();
    }
    state.counters["orders_found"] = found;
    shown->close();
}
BENCHMARK(SearchKeystroke)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarksWithApplication(argc, argv);
}
