// The order history over 100,000 and 1,000,000 printed orders with their
// status file, two changes an order: opening it from the order window and one
// keystroke in its search box, each until the window is drawn again.

#include "history/orderhistorymodel.h"
#include "order/orderhistory.h"
#include "orderwindow/orderwindow.h"
#include "widgets/messagebox.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <map>

#include "benchmain.h"

namespace {

const char* const surnames[] = {
    "Andersson", "Bergström", "Carlsson", "Danielsson", "Eriksson",  "Forsberg", "Gustafsson", "Hansson",
    "Isaksson",  "Johansson", "Karlsson", "Lindström",  "Magnusson", "Nilsson",  "Olsson",     "Persson",
    "Åkesson",   "Öberg",     "Sjöberg",  "Wallin",     "Lundgren",  "Holm",     "Ek",         "Söderberg",
};
const char* const kinds[] = { "Bygg AB", "Måleri", "Trä & Tak", "El HB", "Rör AB", "Snickeri", "", "Fastigheter" };

// An order list of `printedOrders` printings, as the program appends them:
// about 45 bytes a line, Windows-1252, CR LF; and its status file as a busy
// desk leaves it: each order delivered 50 printings after it was printed and
// invoiced 200 printings after, every 97th voided instead of invoiced, two
// changes an order, about 46 bytes a change. The newest order's own files are
// there, as the window reads them when it opens.
struct PrintedHistory
{
    explicit PrintedHistory(int printedOrders)
    {
        QDir(folder.path()).mkpath(QStringLiteral("System/Order"));
        QDir(folder.path()).mkpath(QStringLiteral("System/Registret"));
        QByteArray list;
        list.reserve(qsizetype(printedOrders) * 48);
        QByteArray status;
        status.reserve(qsizetype(printedOrders) * 2 * 48);
        const auto change = [&status](int order, const char* state, const char* reason) {
            status += "\"" + QByteArray::number(1000 + order) + "\",\"" + state + "\",\"2026-12-07 14:32:05\",\"";
            status += reason;
            status += "\"\r\n";
        };
        for (int i = 0; i < printedOrders; ++i) {
            const int customer = (i * 7919) % 5000 + 1;
            const QString name = QStringLiteral("%1 %2")
                                     .arg(QString::fromUtf8(surnames[customer % std::size(surnames)]),
                                          QString::fromUtf8(kinds[customer % std::size(kinds)]))
                                     .trimmed();
            list += "\"2" + QByteArray::number(50101 + (i / 300) % 1200).right(5) + "\",\"";
            list += QByteArray::number(1000 + i) + "\",\"" + QByteArray::number(customer) + "\",\"";
            list += name.toLatin1() + "\"\r\n";
            if (i >= 50)
                change(i - 50, "Levererad", "");
            if (i >= 200)
                change(i - 200, (i - 200) % 97 == 0 ? "Makulerad" : "Fakturerad",
                       (i - 200) % 97 == 0 ? "Fel kund" : "");
        }
        write("Order/lista.dbf", list);
        write("Order/status.dbf", status);
        const QByteArray last = QByteArray::number(1000 + printedOrders - 1);
        write("Order/" + last + "_data1.dbf", "1042\r\nBergstr\xF6m Bygg AB\r\nIndustriv\xE4gen 14\r\n\r\n\r\n");
        write("Order/" + last + "_data2.dbf", last + "\r\n261207\r\n261206\r\n0\r\n\r\n0\r\n0\r\n0\r\n");
        write("Order/" + last + ".basket.dbf",
              "\"TS35-25\",\"Tr\xE4skruv\",\"f\xF6rp\",\"99.50\",\"2\",\"0\",\"199.00\"\r\n");
        write("Registret/OrderNr.dbf", last + "\r\n");
        listBytes = list.size();
        statusBytes = status.size();
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
    qsizetype statusBytes = 0;
};

// One history of each size, made when first asked for.
const PrintedHistory& printedHistory(int printedOrders)
{
    static std::map<int, std::unique_ptr<PrintedHistory>> made;
    std::unique_ptr<PrintedHistory>& history = made[printedOrders];
    if (!history)
        history = std::make_unique<PrintedHistory>(printedOrders);
    return *history;
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

// F6: the order list and the status file read, indexed and listed, the
// newest order's files and its status read into the detail pane, and the
// window drawn. Argument: the number of printed orders.
void OpenHistory(benchmark::State& state)
{
    const PrintedHistory& history = printedHistory(int(state.range(0)));
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
    state.counters["status_MB"] = double(history.statusBytes) / 1e6;
    if (!boxes.shown.isEmpty())
        state.SkipWithError("a box was shown");
}
// The status file is read on a second thread: the processor time is the whole
// process's, the time that counts the time until the window shows.
BENCHMARK(OpenHistory)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// The files alone: the order list and the status file read, the list made
// searchable and every order given its state.
void ReadHistoryFiles(benchmark::State& state)
{
    const datafiles::DataDirectory data = printedHistory(int(state.range(0))).data();
    for (auto _ : state)
        benchmark::DoNotOptimize(core::readOrderHistory(data).history.size());
}
BENCHMARK(ReadHistoryFiles)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

struct Keystroke
{
    const char* typedBefore;
    QChar key;
};

// First argument: 0 a first letter that finds a sixth of the orders, 1 an
// order number found once, 2 a second word, 3 a letter that finds nothing, 4 a
// letter that lists every order again (backspace over the only letter), 5 the
// first letter again under the filter "Ej fakturerade". Second argument: the
// number of printed orders.
const Keystroke keystrokes[] = {
    { "", u'b' }, { "10099", u'7' }, { "åkesson 12", u'3' }, { "zz", u'q' }, { "b", u'\b' }, { "", u'b' },
};

// One keystroke in the search box: the list searched and shown anew, the
// first order found chosen and its files read, the window drawn.
void SearchKeystroke(benchmark::State& state)
{
    const Keystroke& keystroke = keystrokes[state.range(0)];
    const PrintedHistory& history = printedHistory(int(state.range(1)));
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
    if (state.range(0) == 5)
        shown->findChild<QComboBox*>(QStringLiteral("cboFilter"))->setCurrentIndex(2);
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
        found = int(
            static_cast<OrderHistoryModel*>(shown->findChild<QAbstractItemView*>(QStringLiteral("ListView1"))->model())
                ->foundCount());
    }
    state.counters["orders_found"] = found;
    shown->close();
}
BENCHMARK(SearchKeystroke)
    ->ArgsProduct({ benchmark::CreateDenseRange(0, 5, 1), { 100'000, 1'000'000 } })
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarksWithApplication(argc, argv);
}
