#include "printingtestsupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

// The part of a paper that a queue can print on, in points from the paper's
// top-left corner, as its description gives it.
struct PrintableArea
{
    QSizeF paper;
    double left = 0;
    double top = 0;
};

// What a printer description (PPD) says of one paper size: its dimension and
// its imageable area, which counts from the bottom-left corner.
std::optional<PrintableArea> printableArea(const QString& ppd, const QString& pageSize)
{
    QFile file(ppd);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString text = QString::fromLatin1(file.readAll());
    const auto numbers = [&](const QString& keyword) {
        const QRegularExpression line(
            QStringLiteral("^\\*%1 %2(/[^:]*)?: \"([^\"]*)\"").arg(keyword, QRegularExpression::escape(pageSize)),
            QRegularExpression::MultilineOption);
        QList<double> values;
        for (const QString& n : line.match(text).captured(2).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            values.append(n.toDouble());
        return values;
    };
    const QList<double> dimension = numbers(QStringLiteral("PaperDimension"));
    const QList<double> area = numbers(QStringLiteral("ImageableArea"));
    if (dimension.size() != 2 || area.size() != 4)
        return std::nullopt;
    return PrintableArea { QSizeF(dimension.at(0), dimension.at(1)), area.at(0), dimension.at(1) - area.at(3) };
}

QString describe(const QSizeF& size)
{
    return QStringLiteral("%1 x %2 pt").arg(size.width()).arg(size.height());
}

} // namespace

// Prints through a print server of the test's own, with a PDF-writing queue
// as the system's default printer, the way the operator's office prints.
class TestCupsPrinting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void orderReachesThePrinterOnItsOwnPaper_data();
    void orderReachesThePrinterOnItsOwnPaper();

private:
    PrivatePrintServer m_server;
    int m_jobs = 0;
};

void TestCupsPrinting::initTestCase()
{
    SKIP_IF_UNAVAILABLE(privatePrintServerUnavailable());
    QVERIFY(m_server.start(QFINDTESTDATA("private-cups.sh"), QStringLiteral("124")));
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    QCOMPARE(printer.printerName(), QStringLiteral("OrderPDF"));
}

void TestCupsPrinting::orderReachesThePrinterOnItsOwnPaper_data()
{
    QTest::addColumn<QString>("pageSize"); // the queue's name of its paper
    QTest::addColumn<QSizeF>("paper");

    QTest::newRow("A4") << "A4" << a4Points;
    QTest::newRow("Letter") << "Letter" << letterPoints;
}

// The printer keeps its own paper and the part of it that it can print on:
// the form is laid out from the top-left corner of that part. Only the kept
// copy is always A4.
void TestCupsPrinting::orderReachesThePrinterOnItsOwnPaper()
{
    QFETCH(QString, pageSize);
    QFETCH(QSizeF, paper);

    int exitCode = 0;
    const QString set
        = run(QStringLiteral("lpadmin"),
              { QStringLiteral("-h"), m_server.address(), QStringLiteral("-p"), QStringLiteral("OrderPDF"),
                QStringLiteral("-o"), QStringLiteral("PageSize=") + pageSize },
              &exitCode);
    QVERIFY2(exitCode == 0, qPrintable(set));
    const std::optional<PrintableArea> area = printableArea(m_server.filePath("ppd/OrderPDF.ppd"), pageSize);
    QVERIFY(area);
    QVERIFY2(samePaper(area->paper, paper), qPrintable(describe(area->paper)));
    QVERIFY2(area->left > 0 && area->top > 0, "the queue should keep a margin free");
    const QSizeF offered = QPrinterInfo::defaultPrinter().defaultPageSize().sizePoints();
    QVERIFY2(samePaper(offered, paper), qPrintable(QStringLiteral("the queue offers ") + describe(offered)));

    // To the system's own printers, as the program prints without a test's
    // destinations in force.
    PrintedOrder order;
    order.show(120);
    QVERIFY(order.print());
    const int job = ++m_jobs;

    QCOMPARE(order.boxes.shown.size(), 1);
    QCOMPARE(order.boxes.shown.at(0).icon, MessageBox::Icon::Information);
    // With a printer the confirmation names no file.
    const QString text = order.boxes.shown.at(0).text;
    QVERIFY(text.endsWith(QStringLiteral("Utskrift pågår...") + QString(29, QLatin1Char(' '))));
    const QString copy = order.folder.path("Order/124.pdf");
    QCOMPARE(pdfPages(copy), 3);
    QVERIFY2(samePaper(pdfPageSize(copy), a4Points), qPrintable(describe(pdfPageSize(copy))));
    QCOMPARE(order.folder.read("Registret/OrderNr.dbf"), QByteArray("124\r\n"));

    // The job has arrived once the server holds it; it is done once the
    // queue's backend has written it out.
    QString completed;
    QVERIFY2(m_server.waitUntilCompleted(job, &completed), qPrintable(completed));

    // The document the printer was sent: the same pages, on its own paper,
    // the form placed from the corner of the printable part.
    const QString sent = m_server.spooled(job);
    QVERIFY2(QFileInfo::exists(sent), qPrintable(sent));
    QCOMPARE(pdfPages(sent), 3);
    QVERIFY2(samePaper(pdfPageSize(sent), paper),
             qPrintable(QStringLiteral("the printer was sent %1 paper, not its own %2")
                            .arg(describe(pdfPageSize(sent)), describe(paper))));
    QString error;
    const QList<PdfWord> words = pdfWords(sent, &error);
    const auto title = std::find_if(words.begin(), words.end(),
                                    [](const PdfWord& w) { return w.text == QLatin1String("ORDERUNDERLAG"); });
    QVERIFY2(title != words.end(), qPrintable(error));
    const double left = title->xMin - area->left / pointsPerCentimetre;
    const double top = title->yMin - area->top / pointsPerCentimetre;
    QVERIFY2(qAbs(left - 8.5) <= 0.05, qPrintable(QStringLiteral("%1 cm across").arg(left)));
    QVERIFY2(qAbs(top - 1.0) <= 0.1, qPrintable(QStringLiteral("%1 cm down").arg(top)));

    // What the queue wrote out: the same pages on the same paper.
    const QDir written = queueOutput();
    const QStringList outputs = written.entryList({ QStringLiteral("*Order*124*-job_%1.pdf").arg(job) }, QDir::Files);
    QCOMPARE(outputs.size(), 1);
    const QString output = written.filePath(outputs.first());
    QCOMPARE(pdfPages(output), 3);
    QVERIFY2(samePaper(pdfPageSize(output), paper), qPrintable(describe(pdfPageSize(output))));
}

QTEST_MAIN(TestCupsPrinting)
#include "tst_cupsprinting.moc"
