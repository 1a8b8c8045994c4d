#include "orderwindow/frmmain.h"
#include "orderwindow/reportlistview.h"
#include "orderwindow/textbox.h"
#include "retrieval/frmgetinfo.h"
#include "retrieval/messagebox.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTest>

using Rows = QList<QStringList>;

namespace {

const QString orderList = QStringLiteral("Order/lista.dbf");

const QByteArray basket124 = QByteArray("\"A100\",\"Skruv, rostfri\",\"st\",\"2.50\",\"4\",\"0\",\"10.00\"\r\n"
                                        "\"B7\",\"L\xE5s\",\"st\",\"100.00\",\"1\",\"10\",\"90.00\"\r\n");
const Rows lines124 = { { "A100", "Skruv, rostfri", "st", "2.50", "4", "0", "10.00" },
                        { "B7", "Lås", "st", "100.00", "1", "10", "90.00" } };

QList<FrmGetInfo*> openRetrievals()
{
    QList<FrmGetInfo*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<FrmGetInfo*>(widget); window && window->isVisible())
            found.append(window);
    }
    return found;
}

FrmGetInfo* openRetrieval(FrmMain& frm)
{
    frm.mnuHamta_Click();
    const QList<FrmGetInfo*> open = openRetrievals();
    return open.size() == 1 ? open.first() : nullptr;
}

void clickRow(ReportListView* list, int row)
{
    const QRect rect = list->visualRect(list->model()->index(row, 2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

Rows orderLines(const FrmMain& frm)
{
    return frm.ListView1()->reportModel()->rows();
}

} // namespace

class TestFrmGetInfo : public QObject
{
    Q_OBJECT

private slots:
    void printedOrdersAreListed_data();
    void printedOrdersAreListed();
    void fetchAppendsAfterTheOrdersOwnLines();
    void fetchTakesTheSelectedOrderNumberAsShown_data();
    void fetchTakesTheSelectedOrderNumberAsShown();
    void fetchThatFindsNoLines_data();
    void fetchThatFindsNoLines();
    void basketEndingInsideARecord();
    void ordersPrintedMeanwhileShowAfterReopening();
};

void TestFrmGetInfo::printedOrdersAreListed_data()
{
    QTest::addColumn<bool>("listExists");
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<bool>("warned");

    QTest::newRow("three printings in file order")
        << true
        << QByteArray("\"060315\",\"124\",\"1001\",\"ABC\"\r\n\"060316\",\"125\",\"1002\",\"Bygg AB\"\r\n"
                      "\"060317\",\"126\",\"1003\",\"Cykel\"\r\n")
        << Rows { { "060315", "124", "1001", "ABC" },
                  { "060316", "125", "1002", "Bygg AB" },
                  { "060317", "126", "1003", "Cykel" } }
        << false;
    QTest::newRow("comma inside the customer name")
        << true << QByteArray("\"060315\",\"124\",\"1001\",\"Svensson, Nils\"\r\n")
        << Rows { { "060315", "124", "1001", "Svensson, Nils" } } << false;
    QTest::newRow("order printed twice")
        << true << QByteArray("\"060315\",\"124\",\"1001\",\"ABC\"\r\n\"060316\",\"124\",\"1001\",\"ABC\"\r\n")
        << Rows { { "060315", "124", "1001", "ABC" }, { "060316", "124", "1001", "ABC" } } << false;
    QTest::newRow("Windows-1252 name") << true << QByteArray("\"060315\",\"124\",\"1001\",\"\xC5kes F\xE4rg\"\r\n")
                                       << Rows { { "060315", "124", "1001", "Åkes Färg" } } << false;
    QTest::newRow("ends inside a record")
        << true << QByteArray("\"060315\",\"124\",\"1001\",\"ABC\"\r\n\"060316\",\"125\"\r\n")
        << Rows { { "060315", "124", "1001", "ABC" } } << true;
    QTest::newRow("empty order list") << true << QByteArray() << Rows {} << false;
    QTest::newRow("nothing printed yet") << false << QByteArray() << Rows {} << false;
}

void TestFrmGetInfo::printedOrdersAreListed()
{
    QFETCH(bool, listExists);
    QFETCH(QByteArray, list);
    QFETCH(Rows, rows);
    QFETCH(bool, warned);
    TestDataFolder folder;
    if (listExists)
        folder.write(orderList, list);
    FrmMain frm(folder.data());
    MessageBox::Recorder recorder;

    FrmGetInfo* window = openRetrieval(frm);
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Hämta underlag"));
    QCOMPARE(window->ListView1()->reportModel()->rows(), rows);
    QCOMPARE(window->ListView1()->firstSelectedRow(), -1);
    if (!warned) {
        QVERIFY(recorder.shown.isEmpty());
        return;
    }
    QCOMPARE(recorder.shown.size(), 1);
    QVERIFY(recorder.shown.first().text.contains(QDir::toNativeSeparators(folder.path(orderList))));
}

void TestFrmGetInfo::fetchAppendsAfterTheOrdersOwnLines()
{
    TestDataFolder folder;
    folder.write(orderList, "\"060315\",\"123\",\"1001\",\"ABC\"\r\n\"060316\",\"124\",\"1002\",\"Bygg AB\"\r\n");
    folder.write(QStringLiteral("Order/124.basket.dbf"), basket124);
    FrmMain frm(folder.data());
    // The order window shows order 124 itself, with a third line typed after printing.
    frm.txt_OrderNr()->setText(QStringLiteral("124"));
    frm.txt_KundField0()->setText(QStringLiteral("1002"));
    const Rows own = lines124 + Rows { { "C1", "Mutter", "st", "1.00", "3", "0", "3.00" } };
    frm.ListView1()->reportModel()->appendRows(own);
    MessageBox::Recorder recorder;

    FrmGetInfo* window = openRetrieval(frm);
    QVERIFY(window);
    clickRow(window->ListView1(), 1);
    QCOMPARE(window->ListView1()->selectedRows(), QList<int> { 1 });

    QTest::mouseClick(window->Command1(), Qt::LeftButton);
    QCOMPARE(orderLines(frm), own + lines124);
    QTest::mouseClick(window->Command1(), Qt::LeftButton);
    QCOMPARE(orderLines(frm), own + lines124 + lines124);

    QVERIFY(recorder.shown.isEmpty());
    QCOMPARE(window->ListView1()->selectedRows(), QList<int> { 1 });
    QCOMPARE(folder.read(QStringLiteral("Order/124.basket.dbf")), basket124);
    QCOMPARE(frm.txt_OrderNr()->text(), QStringLiteral("124"));
    QCOMPARE(frm.txt_KundField0()->text(), QStringLiteral("1002"));
    QCOMPARE(QDir(folder.path(QStringLiteral("Order"))).entryList(QDir::Files),
             (QStringList { "124.basket.dbf", "lista.dbf" }));
}

void TestFrmGetInfo::fetchTakesTheSelectedOrderNumberAsShown_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("firstArticle");

    QTest::newRow("124") << 0 << "A100";
    QTest::newRow("0124 is another order") << 1 << "Z9";
    QTest::newRow("124 printed again") << 2 << "A100";
}

void TestFrmGetInfo::fetchTakesTheSelectedOrderNumberAsShown()
{
    QFETCH(int, row);
    QFETCH(QString, firstArticle);
    TestDataFolder folder;
    folder.write(orderList,
                 "\"060315\",\"124\",\"1001\",\"ABC\"\r\n\"060316\",\"0124\",\"1001\",\"ABC\"\r\n"
                 "\"060317\",\"124\",\"1001\",\"ABC\"\r\n");
    folder.write(QStringLiteral("Order/124.basket.dbf"), basket124);
    folder.write(QStringLiteral("Order/0124.basket.dbf"), "\"Z9\",\"Zink\",\"kg\",\"5.00\",\"1\",\"0\",\"5.00\"\r\n");
    FrmMain frm(folder.data());

    FrmGetInfo* window = openRetrieval(frm);
    QVERIFY(window);
    clickRow(window->ListView1(), row);
    QTest::mouseClick(window->Command1(), Qt::LeftButton);
    QVERIFY(!orderLines(frm).isEmpty());
    QCOMPARE(orderLines(frm).first().first(), firstArticle);
}

void TestFrmGetInfo::fetchThatFindsNoLines_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("basket");
    QTest::addColumn<QString>("message");

    const QByteArray one = "\"060315\",\"124\",\"1001\",\"ABC\"\r\n";
    QTest::newRow("empty list") << QByteArray() << -1 << QByteArray() << "Välj först";
    QTest::newRow("no row chosen") << one << -1 << basket124 << "Välj först";
    QTest::newRow("printed without lines") << one << 0 << QByteArray() << "Order 124 har inga sparade orderrader.";
    QTest::newRow("number naming no file") << QByteArray("\"060315\",\"..\\124\",\"1001\",\"ABC\"\r\n") << 0
                                           << basket124 << "Order ..\\124 har inga sparade orderrader.";
    QTest::newRow("empty basket file") << one << 0 << QByteArray("") << QString();
}

void TestFrmGetInfo::fetchThatFindsNoLines()
{
    QFETCH(QByteArray, list);
    QFETCH(int, row);
    QFETCH(QByteArray, basket);
    QFETCH(QString, message);
    TestDataFolder folder;
    folder.write(orderList, list);
    if (!basket.isNull())
        folder.write(QStringLiteral("Order/124.basket.dbf"), basket);
    FrmMain frm(folder.data());
    frm.ListView1()->reportModel()->appendRow({ "C1", "Mutter", "st", "1.00", "3", "0", "3.00" });
    MessageBox::Recorder recorder;

    FrmGetInfo* window = openRetrieval(frm);
    QVERIFY(window);
    if (row >= 0)
        clickRow(window->ListView1(), row);
    QTest::mouseClick(window->Command1(), Qt::LeftButton);

    QCOMPARE(orderLines(frm), (Rows { { "C1", "Mutter", "st", "1.00", "3", "0", "3.00" } }));
    if (message.isEmpty()) {
        QVERIFY(recorder.shown.isEmpty());
        return;
    }
    QCOMPARE(recorder.shown.size(), 1);
    QVERIFY2(recorder.shown.first().text.startsWith(message), qPrintable(recorder.shown.first().text));
    QCOMPARE(recorder.shown.first().icon, MessageBox::Icon::Information);
    QCOMPARE(recorder.shown.first().title, programTitle);
}

void TestFrmGetInfo::basketEndingInsideARecord()
{
    TestDataFolder folder;
    folder.write(orderList, "\"060315\",\"124\",\"1001\",\"ABC\"\r\n");
    folder.write(QStringLiteral("Order/124.basket.dbf"), basket124 + "\"C1\",\"Mutter\",\"st\"\r\n");
    FrmMain frm(folder.data());
    MessageBox::Recorder recorder;

    FrmGetInfo* window = openRetrieval(frm);
    QVERIFY(window);
    clickRow(window->ListView1(), 0);
    QTest::mouseClick(window->Command1(), Qt::LeftButton);

    QCOMPARE(orderLines(frm), lines124);
    QCOMPARE(recorder.shown.size(), 1);
    QVERIFY(recorder.shown.first().text.contains(
        QDir::toNativeSeparators(folder.path(QStringLiteral("Order/124.basket.dbf")))));
}

void TestFrmGetInfo::ordersPrintedMeanwhileShowAfterReopening()
{
    TestDataFolder folder;
    folder.write(orderList, "\"060315\",\"124\",\"1001\",\"ABC\"\r\n");
    FrmMain frm(folder.data());
    frm.show();
    frm.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frm));

    QTest::keyClick(&frm, Qt::Key_F3);
    QList<FrmGetInfo*> open = openRetrievals();
    QCOMPARE(open.size(), 1);
    QPointer<FrmGetInfo> first = open.first();
    QCOMPARE(first->ListView1()->reportModel()->rows().size(), 1);

    folder.write(orderList, "\"060315\",\"124\",\"1001\",\"ABC\"\r\n\"060316\",\"125\",\"1002\",\"Bygg AB\"\r\n");
    QCOMPARE(openRetrieval(frm), first.data());
    QCOMPARE(first->ListView1()->reportModel()->rows().size(), 1);

    first->close();
    QTRY_VERIFY(!first);
    FrmGetInfo* second = openRetrieval(frm);
    QVERIFY(second);
    QCOMPARE(second->ListView1()->reportModel()->rows().size(), 2);
}

QTEST_MAIN(TestFrmGetInfo)
#include "tst_frmgetinfo.moc"
