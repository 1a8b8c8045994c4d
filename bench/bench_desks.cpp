// F9 of one order of 20 lines, with the PDF copy as the only output, on a
// local folder and, where ORDER_BENCH_SHARE names a folder on a network share
// (an sshfs mount, say), on that share.
//
//   source tests/desks/netshare.sh && netshare_up /tmp/share
//   ORDER_BENCH_SHARE=/tmp/share/a build-bench/bench/bench_desks
//   netshare_down /tmp/share

#include "order/order.h"
#include "orderwindow/orderwindow.h"
#include "printing/output/destinations.h"
#include "widgets/messagebox.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "benchmain.h"

namespace {

// A copy of the bundled sample data in a folder of its own under `parent`.
struct SampleFolder
{
    explicit SampleFolder(const QString& parent)
        : dir(parent + QStringLiteral("/bench-XXXXXX"))
    {
        const QString from = QStringLiteral(SAMPLE_DATA);
        QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
        QDir().mkpath(dir.path() + QStringLiteral("/System"));
        while (it.hasNext()) {
            const QString source = it.next();
            const QString target = dir.path() + QStringLiteral("/System") + source.mid(from.size());
            if (it.fileInfo().isDir())
                QDir().mkpath(target);
            else
                QFile::copy(source, target);
        }
    }

    datafiles::DataDirectory data() const { return datafiles::DataDirectory(dir.path()); }

    QTemporaryDir dir;
};

void choose(OrderWindow& window, const char* entryName)
{
    QAction* entry = window.findChild<QAction*>(QLatin1String(entryName));
    if (!entry)
        qFatal("The order window has no menu entry %s", entryName);
    entry->trigger();
}

// "Ny", then F9 on an order of 20 lines: only F9 is timed.
void printOneOrder(benchmark::State& state, const QString& parent)
{
    SampleFolder folder(parent);
    if (!folder.dir.isValid()) {
        state.SkipWithError("no folder to work in");
        return;
    }
    MessageBox::Recorder boxes;
    printing::Destinations paper = printing::Destinations::system();
    paper.printer = nullptr;
    printing::Destinations::Override onlyPdf(paper);
    const std::unique_ptr<OrderWindow> window = OrderWindow::create(folder.data());
    choose(*window, "mnuNy");
    core::Order order = window->order();
    order.setText(core::Order::CustomerNumber, QStringLiteral("1004"));
    for (int i = 0; i < 20; ++i)
        order.appendLine(core::OrderLine::fromList(
            { QStringLiteral("TS35-%1").arg(i), QStringLiteral("Träskruv förzinkad 3.5x25 200 st"),
              QStringLiteral("förp"), QStringLiteral("99.50"), QStringLiteral("2"), QStringLiteral("10"),
              QStringLiteral("179.10") }));
    window->openOrder().replaceForTesting(order);
    for (auto _ : state) {
        state.PauseTiming();
        choose(*window, "mnuNy");
        const qsizetype shown = boxes.shown.size();
        state.ResumeTiming();
        choose(*window, "mnuPrint");
        if (boxes.shown.size() != shown + 1 || boxes.shown.last().icon != MessageBox::Icon::Information) {
            state.SkipWithError("the order was not printed");
            break;
        }
    }
}

void PrintOneOrderLocally(benchmark::State& state)
{
    printOneOrder(state, QDir::tempPath());
}
BENCHMARK(PrintOneOrderLocally)->Unit(benchmark::kMillisecond)->UseRealTime();

void PrintOneOrderOnShare(benchmark::State& state)
{
    const QString share = qEnvironmentVariable("ORDER_BENCH_SHARE");
    if (share.isEmpty()) {
        state.SkipWithError("ORDER_BENCH_SHARE names no folder on a share");
        return;
    }
    printOneOrder(state, share);
}
BENCHMARK(PrintOneOrderOnShare)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarksWithApplication(argc, argv);
}
