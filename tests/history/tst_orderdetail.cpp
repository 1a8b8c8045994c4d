// The history's detail pane, given a printed order as its files hold it and
// the log of its state.

#include "history/orderdetail.h"
#include "support/testsupport.h"
#include "widgets/reportlistview.h"

#include <QLabel>
#include <QRegularExpression>
#include <QTest>

using core::OrderState;

class TestOrderDetail : public QObject
{
    Q_OBJECT

private slots:
    void showsTheOrder_data();
    void showsTheOrder();
};

void TestOrderDetail::showsTheOrder_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("vatCode");
    QTest::addColumn<QStringList>("totals"); // excluding VAT, rate, VAT, to pay
    QTest::addColumn<QStringList>("problems");
    QTest::addColumn<int>("state");

    QTest::newRow("two lines at 25 %") << 2 << "0" << QStringList { "398.00", "25", "99.50", "497.50" } << QStringList()
                                       << int(OrderState::Delivered);
    QTest::newRow("printed without lines, voided")
        << 0 << "0" << QStringList { "0.00", "25", "0.00", "0.00" }
        << QStringList { "Filen 124_data1.dbf saknas.", "Filen 124.basket.dbf saknas." } << int(OrderState::Voided);
    // The archive keeps the VAT code; a code without a rate printed the rate
    // the order had before, which the history cannot know.
    QTest::newRow("a VAT code without a rate") << 1 << "2" << QStringList { "199.00", "okänd", "okänd", "okänd" }
                                               << QStringList() << int(OrderState::Registered);
}

void TestOrderDetail::showsTheOrder()
{
    QFETCH(int, lines);
    QFETCH(QString, vatCode);
    QFETCH(QStringList, totals);
    QFETCH(QStringList, problems);
    QFETCH(int, state);
    TestDataFolder folder;
    folder.copySample(QStringLiteral("Registret/Betalningsvillkor.dbf"));
    // As read back from its files, where a VAT code outside the table has no rate.
    const core::Order sample = sampleOrder(lines);
    core::Order order;
    for (int field = 0; field < core::Order::VatCode; ++field)
        order.setText(core::Order::Field(field), sample.text(core::Order::Field(field)));
    order.setText(core::Order::VatCode, vatCode);
    order.setLines(sample.lines());
    const core::StatusChange change { "124", OrderState(state), "2026-12-07 14:32:05", "Fel kund" };

    OrderDetail pane;
    const auto label = [&pane](const char* name) {
        return pane.findChild<QLabel*>(QLatin1String(name));
    };
    pane.showOrder({ order, problems }, core::CodeWording(folder.data()));
    pane.showStatus(change.state, { change });

    QList<QStringList> shownLines;
    for (int i = 0; i < lines; ++i)
        shownLines.append(orderLine(i));
    QCOMPARE(rowsOf(listView(pane, "lvwOrderrader")), shownLines);
    QStringList shown;
    for (const char* name :
         { "lblExklMoms", "lblMomsProcent", "lblMomsKr", "lblAttBetala", "lblBetalningsvillkor", "lblStatus" })
        shown.append(label(name)->text());
    QCOMPARE(shown, totals + QStringList({ "30 dagar netto", core::stateName(change.state) }));
    QCOMPARE(label("lblAttBetala")->toolTip().isEmpty(), totals.last() != QStringLiteral("okänd"));
    QCOMPARE(label("lblKund")->text(),
             QStringLiteral("Kundnr: 1001\nBergström Bygg AB\nIndustrivägen 14\n433 38  Partille"));
    QCOMPARE(label("lblProblem")->text(), problems.join(QLatin1Char('\n')));
    const bool red = label("lblStatus")->palette().color(QPalette::WindowText) == QColor(192, 0, 0);
    QCOMPARE(red, OrderState(state) == OrderState::Voided);
    QCOMPARE(rowsOf(listView(pane, "lvwStatuslogg")),
             (QList<QStringList> { { "2026-12-07 14:32:05", core::stateName(change.state), "Fel kund" } }));

    pane.clear();
    for (const QLabel* value : pane.findChildren<QLabel*>(QRegularExpression(QStringLiteral("^lbl"))))
        QVERIFY2(value->text().isEmpty(), qPrintable(value->objectName()));
    QCOMPARE(listView(pane, "lvwOrderrader")->model()->rowCount(), 0);
}

QTEST_MAIN(TestOrderDetail)
#include "tst_orderdetail.moc"
