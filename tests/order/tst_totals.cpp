// What the order comes to: the totals and VAT of its lines at its VAT code.

#include "order/order.h"
#include "order/totals.h"

#include <QTest>

using core::Order;
using core::OrderLine;
using core::Totals;

namespace {

OrderLine lineWithAmount(const QString& amount)
{
    return OrderLine::fromList({ "A-1", "Vara", "st", "1.00", "1", "", amount });
}

Totals expectedTotals(const char* exclusive, const char* rate, const char* vat, const char* inclusive)
{
    return { QLatin1String(exclusive), QLatin1String(rate), QLatin1String(vat), QLatin1String(inclusive) };
}

} // namespace

namespace core {
// How a failed comparison shows the totals.
char* toString(const Totals& t)
{
    return QTest::toString(QStringList { t.exclusiveOfVat, t.vatRate, t.vat, t.inclusiveOfVat }.join(" | "));
}
} // namespace core

class TestTotals : public QObject
{
    Q_OBJECT

private slots:
    void freshOrder();
    void totals_data();
    void totals();
    void followAddedAndRemovedLines();
};

void TestTotals::freshOrder()
{
    QCOMPARE(core::totalsOf(Order()), expectedTotals("0.00", "", "", ""));
}

void TestTotals::totals_data()
{
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<QStringList>("codes"); // the VAT codes the order held, one after the other
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
        // A code without a rate leaves no rate from before: VAT and total unknown.
        { "code 2 after 0", { "100.00" }, { "0", "2" }, "100.00", "", "", "" },
        { "emptied after 1", { "100.00" }, { "1", "" }, "100.00", "", "", "" },
        { "no code yet", { "80.00" }, { "7" }, "80.00", "", "", "" },
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

void TestTotals::totals()
{
    QFETCH(QStringList, amounts);
    QFETCH(QStringList, codes);
    QFETCH(QString, exkl);
    QFETCH(QString, rate);
    QFETCH(QString, vat);
    QFETCH(QString, inkl);

    Order order;
    for (const QString& amount : amounts)
        order.appendLine(lineWithAmount(amount));
    for (const QString& code : codes)
        order.setText(Order::VatCode, code);

    QCOMPARE(core::totalsOf(order), (Totals { exkl, rate, vat, inkl }));
    // Without a rate the order is not printed, and the refusal names the code.
    const std::optional<datafiles::Failure> refused = core::refusalForUnknownVat(order, QStringLiteral("skriva ut"));
    QCOMPARE(bool(refused), rate.isEmpty());
    if (refused)
        QVERIFY(refused->is(datafiles::FailureKind::RefusedByRule)
                && refused->reason.contains(codes.last().isEmpty() ? QStringLiteral("ingen momskod")
                                                                   : u'"' + codes.last() + u'"'));
}

void TestTotals::followAddedAndRemovedLines()
{
    Order order;
    order.setText(Order::VatCode, QStringLiteral("0"));
    order.appendLine(lineWithAmount(QStringLiteral("150.00")));
    QCOMPARE(core::totalsOf(order).inclusiveOfVat, QStringLiteral("187.50"));
    order.appendLine(lineWithAmount(QStringLiteral("49.90")));
    QCOMPARE(core::totalsOf(order).inclusiveOfVat, QStringLiteral("249.88"));
    order.removeLines({ 0 });
    QCOMPARE(core::totalsOf(order), expectedTotals("49.90", "25", "12.48", "62.38"));
    order.setLines({});
    QCOMPARE(core::totalsOf(order), expectedTotals("0.00", "25", "0.00", "0.00"));
}

QTEST_GUILESS_MAIN(TestTotals)
#include "tst_totals.moc"
