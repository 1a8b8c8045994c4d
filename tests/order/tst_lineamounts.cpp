// The amounts of an order line built in the product picker: gross, discount and
// line amount, each an amount text read back by the next step; and whether the
// order takes the line's values, refuses one or asks first.

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
    QTest::addColumn<QString>("taken"); // "": as it is; a field refused; "? " and the questions asked

    const struct
    {
        const char *tag, *unitPrice, *quantity, *discount, *gross, *discountAmount, *line, *taken;
    } rows[] = {
        { "discount from the rounded gross", "9.99", "3", "15", "29.97", "4.50", "25.47", "" },
        { "half a cent rounds away from zero", "0.05", "1", "50", "0.05", "0.03", "0.02", "" },
        { "nothing typed", "", "", "", "0.00", "0.00", "0.00", "Antal" },
        { "empty quantity", "99.50", " ", "10", "0.00", "0.00", "0.00", "Antal" },
        { "quantity 0", "99.50", "0.00", "", "0.00", "0.00", "0.00", "Antal" },
        { "empty discount gives the gross", "99.50", "2", "", "199.00", "0.00", "199.00", "" },
        { "full discount", "99.50", "2", "100", "199.00", "199.00", "0.00", "" },
        { "discount over 100", "9.99", "1", "150", "9.99", "14.99", "-5.00", "Rab %" },
        { "discount below 0", "9.99", "1", "-5", "9.99", "-0.50", "10.49", "Rab %" },
        { "comma counts no decimals", "12,50", "2,5", "", "24.00", "0.00", "24.00", "" },
        { "quantity 2,5 counts as 2", "9.99", "2,5", "", "19.98", "0.00", "19.98", "" },
        { "gross rounded before discount", "0.333", "3", "50", "1.00", "0.50", "0.50", "" },
        { "returned goods", "10", "-2", "25", "-20.00", "-5.00", "-15.00", "? Retur" },
        { "no price", "", "3", "", "0.00", "0.00", "0.00", "? Inget pris" },
        { "price 0, returned", "0.00", "-1", "", "0.00", "0.00", "0.00", "? Retur ? Inget pris" },
        { "beyond double range", "1e308", "1e308", "", "0.00", "0.00", "0.00", "" },
    };
    for (const auto& r : rows)
        QTest::newRow(r.tag) << r.unitPrice << r.quantity << r.discount << r.gross << r.discountAmount << r.line
                             << r.taken;
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

    const core::OrderLine line
        = core::OrderLine::fromList({ "K-2", "Montering", "tim", unitPrice, quantity, discount, amounts.line });
    QString taken;
    if (const std::optional<core::LineRefusal> refusal = core::refusedLineValue(line)) {
        QVERIFY(refusal->failure.is(datafiles::FailureKind::RefusedByRule));
        taken = refusal->failure.reason.section(u'"', 1, 1); // the field it names
        QCOMPARE(refusal->field, taken == u"Antal" ? core::OrderLine::Quantity : core::OrderLine::Discount);
    } else {
        for (const core::LineQuestion& question : core::lineQuestions(line))
            taken += QStringLiteral("? ") + question.title + u' ';
    }
    QTEST(taken.trimmed(), "taken");
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
