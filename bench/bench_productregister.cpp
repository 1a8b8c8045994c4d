// The product register of a million products: reading it, listing it in the
// picker and searching it.

#include "benchregister.h"

#include "datafiles/records.h"
#include "datafiles/textfile.h"
#include "orderwindow/orderwindow.h"
#include "pickers/frmaddproduct.h"
#include "widgets/productregistermodel.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "benchmain.h"

#include <algorithm>

namespace {

constexpr int millionProducts = 1'000'000;

// A program folder with the large register, made once for all benchmarks.
struct LargeRegister
{
    LargeRegister()
    {
        QDir(folder.path()).mkpath(QStringLiteral("System/Registret"));
        QDir(folder.path()).mkpath(QStringLiteral("System/Order"));
        const QByteArray bytes = largeProductRegister(millionProducts);
        size = bytes.size();
        QFile file(path());
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the product register");
    }
    QString path() const { return folder.path() + QStringLiteral("/System/Registret/Produkter.dbf"); }

    QTemporaryDir folder;
    qsizetype size = 0;
};

const LargeRegister& largeRegister()
{
    static const LargeRegister made;
    return made;
}

// What every reader pays at least: the file read whole and its lines counted.
void ReadAndCountLines(benchmark::State& state)
{
    const LargeRegister& reg = largeRegister();
    for (auto _ : state) {
        const datafiles::ReadResult file = datafiles::readWholeFile(reg.path());
        benchmark::DoNotOptimize(std::count(file.bytes.begin(), file.bytes.end(), '\n'));
    }
    state.SetBytesProcessed(state.iterations() * reg.size);
}
BENCHMARK(ReadAndCountLines)->Unit(benchmark::kMillisecond);

void ReadAndParseRegister(benchmark::State& state)
{
    const LargeRegister& reg = largeRegister();
    for (auto _ : state) {
        datafiles::ReadResult file = datafiles::readWholeFile(reg.path());
        const datafiles::RecordTable products = datafiles::RecordTable::parse(std::move(file.bytes), 4);
        if (products.recordCount() != millionProducts)
            state.SkipWithError("wrong number of products");
    }
    state.SetBytesProcessed(state.iterations() * reg.size);
}
BENCHMARK(ReadAndParseRegister)->Unit(benchmark::kMillisecond);

// The picker opened on the register as the operator sees it: read, parse,
// list and shown on screen.
void OpenPicker(benchmark::State& state)
{
    const LargeRegister& reg = largeRegister();
    const datafiles::DataDirectory data(reg.folder.path());
    const std::unique_ptr<OrderWindow> order = OrderWindow::create(data);
    // What the program holds before the picker opens (libraries, fonts, the
    // order window), so that the register's own share can be told apart.
    const double before = residentBytes();
    double peak = 0;
    for (auto _ : state) {
        FrmAddProduct* picker = FrmAddProduct::open(
            data, [&order](const core::OrderLine& line) { return order->openOrder().addLines({ line }); }, order.get());
        if (!picker || picker->products()->rowCount() != millionProducts) {
            state.SkipWithError("the picker did not open on the whole register");
            delete picker;
            break;
        }
        picker->show();
        QApplication::processEvents();
        peak = std::max(peak, peakResidentBytes());
        state.PauseTiming();
        delete picker;
        state.ResumeTiming();
    }
    state.counters["peak_rss_per_file_size"] = peak / double(reg.size);
    state.counters["before_open_MB"] = before / 1e6;
    state.counters["file_MB"] = double(reg.size) / 1e6;
}
BENCHMARK(OpenPicker)->Unit(benchmark::kMillisecond)->Iterations(3);

// The search that matches nothing walks every product: the slowest one.
void SearchMillionProducts(benchmark::State& state)
{
    const LargeRegister& reg = largeRegister();
    datafiles::ReadResult file = datafiles::readWholeFile(reg.path());
    const ProductRegisterModel products(datafiles::RecordTable::parse(std::move(file.bytes), 4));
    const QString wanted = state.range(0) == 0 ? QStringLiteral("ts96-999999") : QStringLiteral("tx");
    for (auto _ : state)
        benchmark::DoNotOptimize(products.findFirstArticleStartingWith(wanted));
    state.SetLabel(state.range(0) == 0 ? "last product" : "no product");
}
BENCHMARK(SearchMillionProducts)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarksWithApplication(argc, argv);
}
