// The order's totals over a long order.

#include "orderwindow/frmmain.h"
#include "orderwindow/reportlistview.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "benchmain.h"

namespace {

void TotalsOverOrderLines(benchmark::State& state)
{
    QTemporaryDir folder;
    FrmMain order { datafiles::DataDirectory(folder.path()) };
    QList<QStringList> lines;
    for (int i = 0; i < state.range(0); ++i) {
        const QString amount = state.range(1) == 0 ? QStringLiteral("%1.%2").arg(i % 1000).arg(i % 90 + 10)
                                                   : QStringLiteral(" %1.5").arg(i % 1000);
        lines.append({ QStringLiteral("A-%1").arg(i), QStringLiteral("Vara"), QStringLiteral("st"),
                       QStringLiteral("1.00"), QStringLiteral("1"), QString(), amount });
    }
    order.ListView1()->reportModel()->appendRows(lines);
    for (auto _ : state)
        order.recomputeAmounts();
    benchmark::DoNotOptimize(order.lbl_inkl()->text());
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel(state.range(1) == 0 ? "amounts as written" : "hand-edited amounts");
}
BENCHMARK(TotalsOverOrderLines)->Args({ 10'000, 0 })->Args({ 10'000, 1 })->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarksWithApplication(argc, argv);
}
