// The order's totals and VAT follow the order lines and the VAT code.

#include "orderwindow/frmmain.h"
#include "orderwindow/reportlistview.h"
#include "orderwindow/textbox.h"
#include "support/testsupport.h"

#include <QLabel>
#include <QTest>

namespace {

QStringList lineWithAmount(const QString& amount)
{
    return { QStringLiteral("A-1"),
             QStringLiteral("Vara"),
             QStringLiteral("st"),
             QStringLiteral("1.00"),
             QStringLiteral("1"),
             QString(),
             amount };
}

} // namespace

class TestLiveTotals : public QObject
{
    Q_OBJECT

private slots:
    void atStart();
    void totals_data();
    void totals();
    void followsAddedAndRemovedLines();
};

void TestLiveTotals::atStart()
{
    TestDataFolder folder;
    FrmMain order(folder.data());
    QCOMPARE(order.lbl_exkl()->text(), QStringLiteral("0.00"));
    QCOMPARE(order.lbl_moms_pro()->text(), QString());
    QCOMPARE(order.lbl_moms_kr()->text(), QStringLiteral("0.00"));
    QCOMPARE(order.lbl_inkl()->text(), QStringLiteral("0.00"));
    QVERIFY(!order.lbl_exkl()->isVisible());
}

void TestLiveTotals::totals_data()
{
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<QStringList>("codes"); // typed one after the other into Mkod
    QTest::addColumn<QString>("exkl");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("vat");
    QTest::addColumn<QString>("inkl");

    QTest::newRow("worked example") << QStringList { "150.00", "49.90" } << QStringList { "0" } << "199.90"
                                    << "25"
                                    << "49.98"
                                    << "249.88";
    QTest::newRow("empty list") << QStringList {} << QStringList { "0" } << "0.00"
                                << "25"
                                << "0.00"
                                << "0.00";
    QTest::newRow("code 1") << QStringList { "100.00" } << QStringList { "1" } << "100.00"
                            << "12"
                            << "12.00"
                            << "112.00";
    QTest::newRow("code 3") << QStringList { "100.00" } << QStringList { "3" } << "100.00"
                            << "6"
                            << "6.00"
                            << "106.00";
    QTest::newRow("code 9") << QStringList { "100.00" } << QStringList { "9" } << "100.00"
                            << "0"
                            << "0.00"
                            << "100.00";
    QTest::newRow("code 2 keeps the rate") << QStringList { "100.00" } << QStringList { "0", "2" } << "100.00"
                                           << "25"
                                           << "25.00"
                                           << "125.00";
    QTest::newRow("no code yet") << QStringList { "80.00" } << QStringList { "7" } << "80.00"
                                 << ""
                                 << "0.00"
                                 << "80.00";
    QTest::newRow("empty amount left out") << QStringList { "10.00", "", "abc" } << QStringList { "0" } << "10.00"
                                           << "25"
                                           << "2.50"
                                           << "12.50";
    QTest::newRow("one decimal reads as written") << QStringList { "12.5" } << QStringList { "9" } << "12.50"
                                                  << "0"
                                                  << "0.00"
                                                  << "12.50";
    QTest::newRow("blanks and rounding") << QStringList { " 1.005", "0.004" } << QStringList { "9" } << "1.01"
                                         << "0"
                                         << "0.00"
                                         << "1.01";
    QTest::newRow("returned goods") << QStringList { "100.00", "-30.05" } << QStringList { "0" } << "69.95"
                                    << "25"
                                    << "17.49"
                                    << "87.44";
    QTest::newRow("many cents add up exactly") << QStringList(1000, "0.10") << QStringList { "1" } << "100.00"
                                               << "12"
                                               << "12.00"
                                               << "112.00";
    QTest::newRow("beyond whole hundredths")
        << QStringList { "1e20", "1e20" } << QStringList { "9" } << "200000000000000000000.00"
        << "0"
        << "0.00"
        << "200000000000000000000.00";
}

void TestLiveTotals::totals()
{
    QFETCH(QStringList, amounts);
    QFETCH(QStringList, codes);

    TestDataFolder folder;
    FrmMain order(folder.data());
    QList<QStringList> lines;
    for (const QString& amount : amounts)
        lines.append(lineWithAmount(amount));
    order.ListView1()->reportModel()->appendRows(lines);
    for (const QString& code : codes) {
        order.txt_Mkod()->clear();
        QTest::keyClicks(order.txt_Mkod(), code);
    }

    QTEST(order.lbl_exkl()->text(), "exkl");
    QTEST(order.lbl_moms_pro()->text(), "rate");
    QTEST(order.lbl_moms_kr()->text(), "vat");
    QTEST(order.lbl_inkl()->text(), "inkl");
}

void TestLiveTotals::followsAddedAndRemovedLines()
{
    TestDataFolder folder;
    FrmMain order(folder.data());
    order.txt_Mkod()->setText(QStringLiteral("0"));
    ReportModel* lines = order.ListView1()->reportModel();
    lines->appendRow(lineWithAmount(QStringLiteral("150.00")));
    QCOMPARE(order.lbl_inkl()->text(), QStringLiteral("187.50"));
    lines->appendRow(lineWithAmount(QStringLiteral("49.90")));
    QCOMPARE(order.lbl_inkl()->text(), QStringLiteral("249.88"));
    lines->removeRowAt(0);
    QCOMPARE(order.lbl_exkl()->text(), QStringLiteral("49.90"));
    QCOMPARE(order.lbl_moms_kr()->text(), QStringLiteral("12.48"));
    QCOMPARE(order.lbl_inkl()->text(), QStringLiteral("62.38"));
    lines->clear();
    QCOMPARE(order.lbl_inkl()->text(), QStringLiteral("0.00"));
}

QTEST_MAIN(TestLiveTotals)
#include "tst_livetotals.moc"
