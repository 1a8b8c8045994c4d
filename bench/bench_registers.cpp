// The registers kept in the program: the product register window on a million
// products (open, a search keystroke, one change written and synced), a price
// list of 100,000 rows previewed and imported, and 10,000 customers listed.

#include "benchregister.h"

#include "datafiles/textfile.h"
#include "order/customers.h"
#include "order/importing.h"
#include "order/registerediting.h"
#include "registers/frmimport.h"
#include "registers/frmkunder.h"
#include "registers/frmproduktregister.h"
#include "widgets/productregistermodel.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "benchmain.h"

namespace {

constexpr int millionProducts = 1'000'000;
constexpr int priceListRows = 100'000;

struct Folder
{
    Folder()
    {
        for (const char* sub : { "System/Registret", "System/Order", "System/Customer" })
            QDir(dir.path()).mkpath(QLatin1String(sub));
    }
    datafiles::DataDirectory data() const { return datafiles::DataDirectory(dir.path()); }
    void writeRegister(const QByteArray& bytes) const
    {
        QFile file(data().productRegister());
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the product register");
    }

    QTemporaryDir dir;
};

const QByteArray& millionRegister()
{
    static const QByteArray bytes = largeProductRegister(millionProducts);
    return bytes;
}

// Half the rows change the price of a product of the large register, half
// are new products: UTF-8 with its mark, semicolons, decimal commas.
const QByteArray& priceList()
{
    static const QByteArray bytes = [] {
        QByteArray list = "\xEF\xBB\xBF"
                          "Artikelnr;Benämning;Enhet;Pris\r\n";
        for (int row = 0; row < priceListRows; ++row) {
            if (row % 2 == 0) {
                const int product = row * 10;
                list += "TS" + QByteArray::number(product % 97) + '-' + QByteArray::number(product) + ";;;"
                    + QByteArray::number(product % 500 + 11) + ",25\r\n";
            } else {
                list += "NY-" + QByteArray::number(row)
                    + ";Bult r\xC3\xB6"
                      "dm\xC3\xA5lad "
                    + QByteArray::number(row % 40) + " mm;st;" + QByteArray::number(row % 900) + ",90\r\n";
            }
        }
        return list;
    }();
    return bytes;
}

void OpenProductRegister(benchmark::State& state)
{
    Folder folder;
    folder.writeRegister(millionRegister());
    for (auto _ : state) {
        FrmProduktregister* window = FrmProduktregister::open(folder.data());
        if (!window || window->products()->rowCount() != millionProducts) {
            state.SkipWithError("the window did not open on the whole register");
            delete window;
            break;
        }
        window->show();
        QApplication::processEvents();
        state.PauseTiming();
        delete window;
        state.ResumeTiming();
    }
}
BENCHMARK(OpenProductRegister)->Unit(benchmark::kMillisecond)->Iterations(3);

// One keystroke in the search box: the list found and drawn again.
void SearchKeystroke(benchmark::State& state)
{
    static const char* const texts[] = { "ts96-99999", "förz", "träskruv 7x", "x25 200 s", "tx" };
    Folder folder;
    folder.writeRegister(millionRegister());
    FrmProduktregister* window = FrmProduktregister::open(folder.data());
    window->show();
    QApplication::processEvents();
    ProductRegisterModel* model = window->products();
    const QString text = QString::fromUtf8(texts[state.range(0)]);
    for (auto _ : state) {
        model->search(text);
        QApplication::processEvents();
    }
    state.SetLabel(QStringLiteral("\"%1\": %2 found").arg(text).arg(model->rowCount()).toStdString());
    delete window;
}
BENCHMARK(SearchKeystroke)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// The same searches on the register's index alone, without the list.
void SearchIndex(benchmark::State& state)
{
    static const char* const texts[] = { "ts96-99999", "förz", "träskruv 7x", "x25 200 s", "tx" };
    const datafiles::RecordTable products = datafiles::RecordTable::parse(millionRegister(), core::productFields);
    const core::ProductIndex index(products, core::ProductIndex::Words::AndDescription);
    const QString text = QString::fromUtf8(texts[state.range(0)]);
    size_t found = 0;
    for (auto _ : state)
        found = index.search(products, text).size();
    state.SetLabel(QStringLiteral("\"%1\": %2 found").arg(text).arg(found).toStdString());
}
BENCHMARK(SearchIndex)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// One product changed: checked, the register rewritten, read back, written and synced,
// and listed again.
void ChangeOneProduct(benchmark::State& state)
{
    Folder folder;
    folder.writeRegister(millionRegister());
    core::RecordsRead read = core::readProducts(folder.data(), core::WhenMissing::IsEmpty);
    ProductRegisterModel model(std::move(read.records), core::ProductIndex::Words::AndDescription);
    int round = 0;
    for (auto _ : state) {
        const QStringList product { "TS46-500000", "Träskruv förzinkad 3x25 200 st", "förp",
                                    QString::number(++round) + QStringLiteral(".00") };
        core::RegisterSaved saved = core::saveProduct(folder.data(), model.products(), model.index(), 500'000, product);
        if (saved.failure) {
            state.SkipWithError("the change was not saved");
            break;
        }
        model.replaceProducts(std::move(saved.records));
    }
}
BENCHMARK(ChangeOneProduct)->Unit(benchmark::kMillisecond)->Iterations(5);

// The price list read, its columns found and every row classified; over an
// empty register (0) and over the million products (1).
void PreviewPriceList(benchmark::State& state)
{
    const datafiles::RecordTable products
        = datafiles::RecordTable::parse(state.range(0) ? millionRegister() : QByteArray(), core::productFields);
    int changed = 0;
    for (auto _ : state) {
        const core::CsvFile csv = core::readCsv(priceList());
        const core::PriceListPlan plan = core::planPriceList(csv, core::guessColumns(csv, core::priceListFields()),
                                                             core::PriceListMode::AddAndUpdate, products);
        changed = plan.preview.count(core::RowKind::Changed);
    }
    state.SetLabel(std::to_string(changed) + " changed");
}
BENCHMARK(PreviewPriceList)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// "Importera prislista" on the 100,000 rows over an empty register, as the
// operator has it: the file read, the window made and shown with its preview,
// then closed. The peak is the process's own high-water mark, reset as the
// window opens, less what the process held before; what stays is what it
// holds once the closed window is gone.
void PreviewWindowMemory(benchmark::State& state)
{
    Folder folder;
    folder.writeRegister({});
    const QString list = folder.dir.filePath(QStringLiteral("prislista.csv"));
    {
        QFile file(list);
        if (!file.open(QIODevice::WriteOnly) || file.write(priceList()) != priceList().size())
            qFatal("cannot write the price list");
    }
    double peak = 0;
    double kept = 0;
    for (auto _ : state) {
        QApplication::processEvents();
        const double before = residentBytes();
        resetPeakResidentBytes();
        FrmImport* window = FrmImport::open(folder.data(), FrmImport::Kind::PriceList, list);
        if (!window || window->preview().rows.size() != priceListRows) {
            state.SkipWithError("the preview did not list every row");
            delete window;
            break;
        }
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        QApplication::processEvents();
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        peak = std::max(peak, peakResidentBytes() - before);
        kept = std::max(kept, residentBytes() - before);
    }
    state.counters["peak_MB"] = peak / 1e6;
    state.counters["kept_after_close_MB"] = kept / 1e6;
}
BENCHMARK(PreviewWindowMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

// "Importera": the register kept, rewritten, read back, written and synced.
void ImportPriceList(benchmark::State& state)
{
    Folder folder;
    const QByteArray before = state.range(0) ? millionRegister() : QByteArray();
    for (auto _ : state) {
        state.PauseTiming();
        folder.writeRegister(before);
        const core::RecordsRead read = core::readProducts(folder.data(), core::WhenMissing::IsEmpty);
        const core::CsvFile csv = core::readCsv(priceList());
        const core::PriceListPlan plan = core::planPriceList(csv, core::guessColumns(csv, core::priceListFields()),
                                                             core::PriceListMode::AddAndUpdate, read.records);
        state.ResumeTiming();
        const core::RegisterSaved imported = core::importPriceList(folder.data(), read.records, plan.changes);
        if (imported.failure) {
            state.SkipWithError("the import failed");
            break;
        }
    }
}
BENCHMARK(ImportPriceList)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// "Kunder" opened on 10,000 customer files.
void ListTenThousandCustomers(benchmark::State& state)
{
    Folder folder;
    for (int i = 0; i < 10'000; ++i) {
        const core::Customer customer { QString::number(10'000 + i),
                                        QStringLiteral("Kund %1 AB").arg(i),
                                        QStringLiteral("Storgatan %1").arg(i % 90),
                                        QStringLiteral("411 01 Göteborg"),
                                        {} };
        if (datafiles::replaceFile(*folder.data().customerFile(customer.number), core::customerFileBytes(customer)))
            qFatal("cannot write the customers");
    }
    for (auto _ : state) {
        FrmKunder* window = FrmKunder::open(folder.data());
        window->show();
        QApplication::processEvents();
        if (window->customers()->rowCount() != 10'000)
            state.SkipWithError("not every customer listed");
        state.PauseTiming();
        delete window;
        state.ResumeTiming();
    }
}
BENCHMARK(ListTenThousandCustomers)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarksWithApplication(argc, argv);
}
