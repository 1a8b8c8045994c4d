#include "printingtestsupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <unistd.h>

// Prints through a print server of the test's own, with a PDF-writing queue
// as the system's default printer, the way the operator's office prints.
class TestCupsPrinting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void orderReachesThePrinterPageForPage();

private:
    QTemporaryDir m_server;
    QString m_script;
    QString m_address;
    bool m_started = false;
};

void TestCupsPrinting::initTestCase()
{
    if (!QFileInfo::exists(QStringLiteral("/usr/sbin/cupsd")))
        QSKIP("cupsd is not installed (packages cups, cups-client, printer-driver-cups-pdf)");
    if (!QFileInfo::exists(QStringLiteral("/usr/lib/cups/backend/cups-pdf")))
        QSKIP("the cups-pdf queue is not installed (package printer-driver-cups-pdf)");
    if (QStandardPaths::findExecutable(QStringLiteral("lpadmin")).isEmpty())
        QSKIP("lpadmin is not installed (package cups-client)");
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        QSKIP("pdfinfo is not installed (package poppler-utils)");
    if (geteuid() != 0)
        QSKIP("a print server of the test's own with a cups-pdf queue needs root");

    m_script = QFINDTESTDATA("private-cups.sh");
    QVERIFY(!m_script.isEmpty());
    QVERIFY(m_server.isValid());
    // A port of this run's own, away from the machine's print server.
    for (int attempt = 0; attempt < 5 && !m_started; ++attempt) {
        const int port = 20000 + (getpid() * 7 + attempt * 101) % 20000;
        int exitCode = 0;
        const QString out
            = run(QStringLiteral("sh"), { m_script, QStringLiteral("start"), m_server.path(), QString::number(port) },
                  &exitCode);
        if (exitCode == 0) {
            m_started = true;
            m_address = QStringLiteral("127.0.0.1:%1").arg(port);
        } else {
            qWarning("print server on port %d did not start: %s", port, qPrintable(out));
            run(QStringLiteral("sh"), { m_script, QStringLiteral("stop"), m_server.path() });
        }
    }
    QVERIFY(m_started);
    // Read by the print system when Qt first asks it for printers.
    qputenv("CUPS_SERVER", m_address.toLatin1());
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    QCOMPARE(printer.printerName(), QStringLiteral("OrderPDF"));
}

void TestCupsPrinting::cleanupTestCase()
{
    if (m_started)
        run(QStringLiteral("sh"), { m_script, QStringLiteral("stop"), m_server.path() });
    // The server leaves its spool without write permission for its owner.
    run(QStringLiteral("chmod"), { QStringLiteral("-R"), QStringLiteral("u+rwx"), m_server.path() });
}

void TestCupsPrinting::orderReachesThePrinterPageForPage()
{
    // To the system's own printers, as the program prints without a test's
    // destinations in force.
    PrintedOrder order;
    order.fill(120);
    QVERIFY(order.print());

    QCOMPARE(order.boxes.shown.size(), 1);
    QCOMPARE(order.boxes.shown.at(0).icon, MessageBox::Icon::Information);
    // With a printer the confirmation names no file.
    const QString text = order.boxes.shown.at(0).text;
    QVERIFY(text.endsWith(QStringLiteral("Utskrift pågår...") + QString(29, QLatin1Char(' '))));
    const int documentPages = pdfPages(order.folder.path("Order/124.pdf"));
    QCOMPARE(documentPages, 3);
    QCOMPARE(order.folder.read("Registret/OrderNr.dbf"), QByteArray("124\r\n"));

    // The job has arrived once the server holds it; it is done once the
    // queue's backend has written it out.
    QString completed;
    for (QDeadlineTimer deadline(60000); !deadline.hasExpired(); QTest::qWait(200)) {
        completed = run(QStringLiteral("lpstat"),
                        { QStringLiteral("-h"), m_address, QStringLiteral("-W"), QStringLiteral("completed"),
                          QStringLiteral("-o") });
        if (completed.contains(QLatin1String("OrderPDF-")))
            break;
    }
    QVERIFY2(completed.contains(QLatin1String("OrderPDF-1")),
             qPrintable(completed + run(QStringLiteral("cat"), { m_server.filePath("log/error_log") })));

    const QStringList spooled = QDir(m_server.filePath("spool")).entryList({ QStringLiteral("d00001-*") }, QDir::Files);
    QCOMPARE(spooled.size(), 1);
    const QString job = m_server.filePath("spool/") + spooled.first();
    QCOMPARE(pdfPages(job), documentPages);
    const QString pageSize = pdfInfo(job, QStringLiteral("Page size"));
    QVERIFY2(pageSize.startsWith(QLatin1String("595")) && pageSize.contains(QLatin1String("(A4)")),
             qPrintable(pageSize));

    // What the queue wrote out lands in the job owner's PDF folder; take it
    // away again once counted.
    const passwd* owner = getpwuid(geteuid());
    const QDir written(QString::fromLocal8Bit(owner ? owner->pw_dir : "/root") + QStringLiteral("/PDF"));
    const QStringList outputs = written.entryList({ QStringLiteral("*Order*124*-job_1.pdf") }, QDir::Files);
    QCOMPARE(outputs.size(), 1);
    QCOMPARE(pdfPages(written.filePath(outputs.first())), documentPages);
    QFile::remove(written.filePath(outputs.first()));
    written.rmdir(written.path()); // only when nothing else is in it
}

QTEST_MAIN(TestCupsPrinting)
#include "tst_cupsprinting.moc"
