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

    const struct
    {
        const char* tag;
        QStringList amounts, codes;
        const char *exkl, *rate, *vat, *inkl;
    } rows[] = {
        { "worked example", { "150.00", "49.90" }, { "0" }, "199.90", "25", "49.98", "249.88" },
        { "empty list", {}, { "0" }, "0.00", "25", "0.00", "0.00" },
        { "code 1", { "100.00" }, { "1" }, "100.00", "12", "12.00", "112.00" },
        { "code 3", { "100.00" }, { "3" }, "100.00", "6", "6.00", "106.00" },
        { "code 9", { "100.00" }, { "9" }, "100.00", "0", "0.00", "100.00" },
        { "code 2 keeps the rate", { "100.00" }, { "0", "2" }, "100.00", "25", "25.00", "125.00" },
        { "no code yet", { "80.00" }, { "7" }, "80.00", "", "0.00", "80.00" },
        { "empty amount left out", { "10.00", "", "abc" }, { "0" }, "10.00", "25", "2.50", "12.50" },
        { "one decimal reads as written", { "12.5" }, { "9" }, "12.50", "0", "0.00", "12.50" },
        { "blanks and rounding", { " 1.005", "0.004" }, { "9" }, "1.01", "0", "0.00", "1.01" },
        { "returned goods", { "100.00", "-30.05" }, { "0" }, "69.95", "25", "17.49", "87.44" },
        { "many cents add up exactly", QStringList(1000, "0.10"), { "1" }, "100.00", "12", "12.00", "112.00" },
        { "beyond whole hundredths",
          { "1e20", "1e20" },
          { "9" },
          "200000000000000000000.00",
          "0",
          "0.00",
          "200000000000000000000.00" },
    };
    for (const auto& r : rows)
        QTest::newRow(r.tag) << r.amounts << r.codes << r.exkl << r.rate << r.vat << r.inkl;
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
