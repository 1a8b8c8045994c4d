// The order's totals over a long order.

#include "order/order.h"
#include "order/totals.h"

#include <benchmark/benchmark.h>

namespace {

// An order of range(0) lines, VAT code "0"; range(1) 0 gives line amounts as
// the program writes them, 1 amounts as an operator might have edited them.
core::Order longOrder(const benchmark::State& state)
{
    core::Order order;
    order.setText(core::Order::VatCode, QStringLiteral("0"));
    QList<core::OrderLine> lines;
    lines.reserve(state.range(0));
    for (int i = 0; i < state.range(0); ++i) {
        const QString amount = state.range(1) == 0 ? QStringLiteral("%1.%2").arg(i % 1000).arg(i % 90 + 10)
                                                   : QStringLiteral(" %1.5").arg(i % 1000);
        lines.append(
            core::OrderLine::fromList({ QStringLiteral("A-%1").arg(i), QStringLiteral("Vara"), QStringLiteral("st"),
                                        QStringLiteral("1.00"), QStringLiteral("1"), QString(), amount }));
    }
    order.setLines(std::move(lines));
    return order;
}

void TotalsOverOrderLines(benchmark::State& state)
{
    const core::Order order = longOrder(state);
    core::Totals totals;
    for (auto _ : state) {
        totals = core::totalsOf(order);
        benchmark::DoNotOptimize(totals);
    }
    if (totals.inclusiveOfVat.isEmpty())
        state.SkipWithError("no total");
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel(state.range(1) == 0 ? "amounts as written" : "hand-edited amounts");
}
BENCHMARK(TotalsOverOrderLines)->Args({ 10'000, 0 })->Args({ 10'000, 1 })->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
