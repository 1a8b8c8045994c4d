// The order desk as a whole: how soon its window shows, how long a long order
// takes to print to PDF, and what it costs while the operator does nothing.

#include "order/order.h"
#include "orderwindow/orderwindow.h"
#include "printing/output/destinations.h"
#include "widgets/messagebox.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include "benchmain.h"

#include <ctime>

namespace {

// A program folder with a copy of the bundled sample data.
struct SampleFolder
{
    QTemporaryDir dir;

    SampleFolder()
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
};

// Chooses an entry of the order window's menus, as the operator does.
void choose(OrderWindow& window, const char* entryName)
{
    QAction* entry = window.findChild<QAction*>(QLatin1String(entryName));
    if (!entry)
        qFatal("The order window has no menu entry %s", entryName);
    entry->trigger();
}

double processSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// From nothing to the order window on screen, ready for the operator.
void StartToWindowShown(benchmark::State& state)
{
    SampleFolder folder;
    for (auto _ : state) {
        std::unique_ptr<OrderWindow> window = OrderWindow::create(folder.data());
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            state.SkipWithError("the window did not show");
        state.PauseTiming();
        window->close();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(StartToWindowShown)->Unit(benchmark::kMillisecond);

// F9 on an order of a thousand lines, with the PDF copy as the only output.
void PrintThousandLinesToPdf(benchmark::State& state)
{
    SampleFolder folder;
    MessageBox::Recorder boxes;
    printing::Destinations paper = printing::Destinations::system();
    paper.printer = nullptr;
    printing::Destinations::Override onlyPdf(paper);
    const std::unique_ptr<OrderWindow> window = OrderWindow::create(folder.data());
    choose(*window, "mnuNy");
    core::Order order = window->order();
    for (int i = 0; i < 1000; ++i)
        order.appendLine(core::OrderLine::fromList(
            { QStringLiteral("TS35-%1").arg(i), QStringLiteral("Träskruv förzinkad 3.5x25 200 st"),
              QStringLiteral("förp"), QStringLiteral("99.50"), QStringLiteral("2"), QStringLiteral("10"),
              QStringLiteral("179.10") }));
    window->openOrder().replaceForTesting(order);
    for (auto _ : state) {
        choose(*window, "mnuPrint");
        if (boxes.shown.isEmpty() || boxes.shown.last().icon != MessageBox::Icon::Information)
            state.SkipWithError("the order was not printed");
    }
    state.counters["pdf_kB"]
        = double(QFile(folder.dir.path() + QStringLiteral("/System/Order/1042.pdf")).size()) / 1000.0;
}
BENCHMARK(PrintThousandLinesToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

// Ten seconds of the order window and the product picker open with nothing
// happening: the processor time the program takes meanwhile.
void IdleTenSeconds(benchmark::State& state)
{
    SampleFolder folder;
    const std::unique_ptr<OrderWindow> window = OrderWindow::create(folder.data());
    window->show();
    choose(*window, "mnuNy");
    choose(*window, "mnuVisa_Produkter");
    QApplication::processEvents();
    for (auto _ : state) {
        const double cpuBefore = processSeconds();
        QEventLoop idle;
        QTimer::singleShot(10'000, &idle, &QEventLoop::quit);
        idle.exec();
        state.counters["cpu_ms_in_10s"] = (processSeconds() - cpuBefore) * 1000.0;
    }
    window->close();
}
BENCHMARK(IdleTenSeconds)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarksWithApplication(argc, argv);
}
