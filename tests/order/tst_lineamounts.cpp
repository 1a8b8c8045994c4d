// The amounts of an order line built in the product picker: gross, discount and
// line amount, each an amount text read back by the next step.

#include "order/lineamounts.h"

#include <QTest>

class TestLineAmounts : public QObject
{
    Q_OBJECT

private slots:
    void lineAmounts_data();
    void lineAmounts();
    void withDecimalPoints_data();
    void withDecimalPoints();
};

void TestLineAmounts::lineAmounts_data()
{
    QTest::addColumn<QString>("unitPrice");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("discount");
    QTest::addColumn<QString>("gross");
    QTest::addColumn<QString>("discountAmount");
    QTest::addColumn<QString>("line");

    const struct
    {
        const char *tag, *unitPrice, *quantity, *discount, *gross, *discountAmount, *line;
    } rows[] = {
        { "discount from the rounded gross", "9.99", "3", "15", "29.97", "4.50", "25.47" },
        { "half a cent rounds away from zero", "0.05", "1", "50", "0.05", "0.03", "0.02" },
        { "nothing typed", "", "", "", "0.00", "0.00", "0.00" },
        { "empty quantity", "99.50", "", "10", "0.00", "0.00", "0.00" },
        { "empty discount gives the gross", "99.50", "2", "", "199.00", "0.00", "199.00" },
        { "full discount", "99.50", "2", "100", "199.00", "199.00", "0.00" },
        { "comma counts no decimals", "12,50", "2,5", "", "24.00", "0.00", "24.00" },
        { "quantity 2,5 counts as 2", "9.99", "2,5", "", "19.98", "0.00", "19.98" },
        { "gross rounded before discount", "0.333", "3", "50", "1.00", "0.50", "0.50" },
        { "returned goods", "10", "-2", "25", "-20.00", "-5.00", "-15.00" },
        { "beyond double range", "1e308", "1e308", "", "0.00", "0.00", "0.00" },
    };
    for (const auto& r : rows)
        QTest::newRow(r.tag) << r.unitPrice << r.quantity << r.discount << r.gross << r.discountAmount << r.line;
}

void TestLineAmounts::lineAmounts()
{
    QFETCH(QString, unitPrice);
    QFETCH(QString, quantity);
    QFETCH(QString, discount);

    const core::LineAmounts amounts = core::lineAmounts(unitPrice, quantity, discount);
    QTEST(amounts.gross, "gross");
    QTEST(amounts.discount, "discountAmount");
    QTEST(amounts.line, "line");
}

void TestLineAmounts::withDecimalPoints_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");

    QTest::newRow("decimal comma") << "2,5"
                                   << "2.5";
    QTest::newRow("every comma") << "1,2,5"
                                 << "1.2.5";
    QTest::newRow("decimal point kept") << "12.5"
                                        << "12.5";
    QTest::newRow("whole number") << "10"
                                  << "10";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("words kept") << "ca 3,5 st"
                                << "ca 3.5 st";
}

void TestLineAmounts::withDecimalPoints()
{
    QFETCH(QString, typed);
    QTEST(core::withDecimalPoints(typed), "stored");
}

QTEST_GUILESS_MAIN(TestLineAmounts)
#include "tst_lineamounts.moc"
