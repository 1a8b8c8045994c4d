// The office commands over a data folder of 100,000 printed orders: the
// export of all of them, the backup of the folder and its restore.

#include "office/backup.h"
#include "office/orderexport.h"
#include "office/restore.h"
#include "order/order.h"
#include "order/registers.h"
#include "printing/orderdocument.h"
#include "printing/output/destinations.h"
#include "printjob/printjob.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

#include "benchmain.h"
#include "benchregister.h"

namespace {

constexpr int printedOrders = 100'000;

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// The sample data with 100,000 printed orders, as the program leaves them:
// the order list, each order's two archive files and its basket of three
// lines, and, when asked for, its kept PDF copy, all of one size (that of the
// sample order printed here first).
struct PrintedOrders
{
    explicit PrintedOrders(bool withPdfCopies)
    {
        const QString from = QStringLiteral(SAMPLE_DATA);
        QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
        const QString system = folder.path() + QStringLiteral("/System");
        QDir().mkpath(system);
        while (it.hasNext()) {
            const QString source = it.next();
            const QString target = system + source.mid(from.size());
            if (it.fileInfo().isDir())
                QDir().mkpath(target);
            else
                QFile::copy(source, target);
        }
        const datafiles::DataDirectory data(folder.path());

        QByteArray pdf;
        if (withPdfCopies) {
            core::Order sample;
            sample.setText(core::Order::OrderNumber, QStringLiteral("1"));
            sample.setText(core::Order::VatCode, QStringLiteral("0"));
            sample.appendLine(core::OrderLine::fromList(
                { "TS35-25", "Träskruv förzinkad 3.5x25 200 st", "förp", "99.50", "2", "0", "199.00" }));
            printing::Destinations destinations = printing::Destinations::system();
            destinations.printer = nullptr;
            const printing::Destinations::Override override(destinations);
            printjob::printOrder(sample, printing::designedOrderLineColumns(), core::CodeWording(data), data);
            QFile copy(system + QStringLiteral("/Order/1.pdf"));
            copy.open(QIODevice::ReadOnly);
            pdf = copy.readAll();
            pdfBytes = pdf.size();
        }

        QByteArray list;
        for (int i = 0; i < printedOrders; ++i) {
            const QByteArray number = QByteArray::number(1000 + i);
            const QByteArray customer = QByteArray::number(1001 + i % 20);
            const QByteArray date
                = "26" + QByteArray::number(101 + (i / 300) % 12 * 100 + i % 28).rightJustified(4, '0');
            const QString order = system + QStringLiteral("/Order/") + QString::fromLatin1(number);
            list += "\"" + date + "\",\"" + number + "\",\"" + customer + "\",\"Bergstr\xF6m Bygg AB\"\r\n";
            write(order + QStringLiteral("_data1.dbf"),
                  customer + "\r\nBergstr\xF6m Bygg AB\r\nIndustriv\xE4gen 14\r\n433 38  Partille\r\n\r\n");
            write(order + QStringLiteral("_data2.dbf"),
                  number + "\r\n" + date + "\r\n" + date + "\r\n1\r\nABC123\r\n0\r\n1\r\n0\r\n");
            QByteArray basket;
            for (int line = 0; line < 3; ++line)
                basket += "\"TS35-2" + QByteArray::number(line)
                    + "\",\"Tr\xE4skruv f\xF6rzinkad\",\"f\xF6rp\",\"99.50\",\"2\",\"0\",\"199.00\"\r\n";
            write(order + QStringLiteral(".basket.dbf"), basket);
            if (withPdfCopies)
                write(order + QStringLiteral(".pdf"), pdf);
        }
        write(system + QStringLiteral("/Order/lista.dbf"), list);
        write(system + QStringLiteral("/Registret/OrderNr.dbf"), QByteArray::number(1000 + printedOrders - 1) + "\r\n");
    }

    datafiles::DataDirectory data() const { return datafiles::DataDirectory(folder.path()); }

    QTemporaryDir folder;
    qint64 pdfBytes = 0;
};

const PrintedOrders& printedOrdersWithoutCopies()
{
    static const PrintedOrders made(false);
    return made;
}

// Argument: 0 one row an order, 1 one row an order line.
void ExportHundredThousandOrders(benchmark::State& state)
{
    const PrintedOrders& orders = printedOrdersWithoutCopies();
    QTemporaryDir out;
    const QString file = out.path() + QStringLiteral("/order.csv");
    const auto rows = state.range(0) ? office::ExportRows::PerLine : office::ExportRows::PerOrder;
    office::ExportOutcome exported;
    for (auto _ : state)
        exported = office::exportOrders(orders.data(), QDate(2026, 1, 1), QDate(2026, 12, 31), rows,
                                        office::VoidedOrders::LeftOut, file);
    if (exported.failure || exported.orders != printedOrders)
        state.SkipWithError("the orders were not exported");
    state.counters["orders"] = double(exported.orders);
    state.counters["csv_MB"] = double(QFileInfo(file).size()) / 1e6;
}
BENCHMARK(ExportHundredThousandOrders)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Argument: 0 the data files only, 1 with a kept PDF copy of every order.
// The backup is written, synced, read back and checked. Its restore (unpacked,
// synced, checked file by file and put in place) is timed once after it.
void BackupHundredThousandOrders(benchmark::State& state)
{
    const PrintedOrders made(state.range(0) == 1);
    QTemporaryDir backups;
    office::BackupOutcome backup;
    for (auto _ : state)
        backup = office::backUp(made.data(), backups.path(), QDateTime::currentDateTime());
    if (backup.failure) {
        state.SkipWithError(qPrintable(backup.failure->reason));
        return;
    }
    state.counters["files"] = double(backup.files);
    state.counters["data_MB"] = double(backup.bytes) / 1e6;
    state.counters["archive_MB"] = double(QFileInfo(backup.zipFile).size()) / 1e6;
    state.counters["pdf_kB"] = double(made.pdfBytes) / 1e3;

    // The restore window's preview of it, in a process of its own: its peak
    // memory.
    QProcess preview;
    preview.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--preview"), backup.zipFile });
    preview.waitForFinished(-1);
    state.counters["preview_peak_MB"] = preview.readAllStandardOutput().trimmed().toDouble() / 1e6;

    QElapsedTimer restoring;
    restoring.start();
    const office::RestoreOutcome restore
        = office::restoreBackup(made.data(), backup.zipFile, QDateTime::currentDateTime());
    state.counters["restore_s"] = double(restoring.elapsed()) / 1000;
    if (!restore.restored)
        state.SkipWithError("the backup was not restored");
}
BENCHMARK(BackupHundredThousandOrders)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    // The preview of a backup alone, for its peak memory.
    if (argc == 3 && qstrcmp(argv[1], "--preview") == 0) {
        const office::BackupContents preview = office::previewBackup(QString::fromLocal8Bit(argv[2]));
        std::printf("%.0f\n", preview.restorable() ? peakResidentBytes() : -1.0);
        return 0;
    }
    return runBenchmarksWithApplication(argc, argv);
}
