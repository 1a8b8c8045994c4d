// "Skriv ut igen" in the order history, through a print server of the test's
// own whose default queue writes PDF files: the kept copy arrives as it is, and
// nothing of the order's registration changes.

#include "history/frmorderhistory.h"
#include "printing/printingtestsupport.h"

#include <QPushButton>

namespace {

// Not the sample order's 124, which the printing tests send to queues of
// their own at the same time; the queue's outputs share one folder.
const QString orderNumber = QStringLiteral("5301");

const QStringList registration { "Registret/OrderNr.dbf", "Order/5301_data1.dbf", "Order/5301_data2.dbf",
                                 "Order/lista.dbf", "Order/5301.pdf" };

} // namespace

class TestReprint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void keptCopyGoesToThePrinterAsItIs();

private:
    PrivatePrintServer m_server;
};

void TestReprint::initTestCase()
{
    SKIP_IF_UNAVAILABLE(privatePrintServerUnavailable());
    QVERIFY(m_server.start(QFINDTESTDATA("../printing/private-cups.sh"), orderNumber));
}

void TestReprint::keptCopyGoesToThePrinterAsItIs()
{
    // A long order printed earlier, to its PDF copy only.
    PrintedOrder desk;
    core::Order order = sampleOrder(120);
    order.setText(core::Order::OrderNumber, orderNumber);
    desk.OrderDesk::show(order);
    QVERIFY(desk.print(pdfOnly()));
    QCOMPARE(desk.boxes.shown.size(), 1);
    const QString copy = desk.folder.path("Order/5301.pdf");
    QCOMPARE(pdfPages(copy), 3);
    QMap<QString, QByteArray> before;
    for (const QString& file : registration)
        before.insert(file, desk.folder.read(file));

    desk.choose("mnuOrderhistorik");
    FrmOrderHistory* history = visibleWindow<FrmOrderHistory>();
    QVERIFY(history);
    QCOMPARE(history->chosenOrder()->text(core::Order::OrderNumber), orderNumber);
    QTest::mouseClick(history->findChild<QPushButton*>("cmdSkrivUtIgen"), Qt::LeftButton);

    QCOMPARE(desk.boxes.shown.size(), 2);
    QCOMPARE(desk.boxes.shown.last().icon, MessageBox::Icon::Information);
    QCOMPARE(desk.boxes.shown.last().text, QStringLiteral("Order 5301 har skickats till skrivaren OrderPDF igen."));
    QString completed;
    QVERIFY2(m_server.waitUntilCompleted(1, &completed), qPrintable(completed));
    // The printer got the kept copy byte for byte, with its three pages.
    const QString sent = m_server.spooled(1);
    QFile sentFile(sent);
    QVERIFY2(sentFile.open(QIODevice::ReadOnly), qPrintable(sent));
    QVERIFY(sentFile.readAll() == desk.folder.read("Order/5301.pdf"));
    QCOMPARE(pdfPages(sent), 3);
    QVERIFY(completed.contains(QStringLiteral("OrderPDF-1 ")));
    // One press sends one job: the server holds no other, done or waiting.
    const QString jobs = run(QStringLiteral("lpstat"), { "-h", m_server.address(), "-W", "all", "-o" });
    QCOMPARE(jobs.count(QStringLiteral("OrderPDF-")), 1);

    for (const QString& file : registration)
        QVERIFY2(desk.folder.read(file) == before.value(file), qPrintable(file));
}

QTEST_MAIN(TestReprint)
#include "tst_reprint.moc"
