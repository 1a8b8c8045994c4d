// The order as a value: its head texts, the VAT rate of its code and its lines.

#include "order/order.h"
#include "support/datafolder.h"

#include <QTest>

using core::Order;
using core::OrderLine;

class TestOrderValue : public QObject
{
    Q_OBJECT

private slots:
    void freshOrder();
    void fieldsKeepTheirOwnTexts();
    void vatRateFollowsTheTableCodes_data();
    void vatRateFollowsTheTableCodes();
    void lineFromTexts_data();
    void lineFromTexts();
    void removeLinesKeepsTheOthersInOrder_data();
    void removeLinesKeepsTheOthersInOrder();
};

void TestOrderValue::freshOrder()
{
    // The order window starts with number "1" until the first "Ny".
    const Order order;
    for (int field = 0; field < Order::fieldCount; ++field)
        QCOMPARE(order.text(Order::Field(field)), field == Order::OrderNumber ? QStringLiteral("1") : QString());
    QCOMPARE(order.vatRate(), QString());
    QVERIFY(order.lines().isEmpty());
}

void TestOrderValue::fieldsKeepTheirOwnTexts()
{
    // Every field keeps its text exactly: blanks, commas and quotes included.
    Order order;
    for (int field = 0; field < Order::fieldCount; ++field)
        order.setText(Order::Field(field), QStringLiteral(" Fält %1, \"x\" ").arg(field));
    for (int field = 0; field < Order::fieldCount; ++field)
        QCOMPARE(order.text(Order::Field(field)), QStringLiteral(" Fält %1, \"x\" ").arg(field));

    // A "0" in the other code fields is no VAT code.
    Order codes;
    for (Order::Field field : { Order::PaymentTerms, Order::DeliveryMethod, Order::FreightMethod, Order::Lpl })
        codes.setText(field, QStringLiteral("0"));
    QCOMPARE(codes.vatRate(), QString());
}

void TestOrderValue::vatRateFollowsTheTableCodes_data()
{
    QTest::addColumn<QStringList>("codes"); // set one after the other
    QTest::addColumn<QString>("rate");

    QTest::newRow("0") << QStringList { "0" } << "25";
    QTest::newRow("1") << QStringList { "1" } << "12";
    QTest::newRow("3") << QStringList { "3" } << "6";
    QTest::newRow("9") << QStringList { "9" } << "0";
    QTest::newRow("0 then 2: none") << QStringList { "0", "2" } << "";
    QTest::newRow("1 then empty: none") << QStringList { "1", "" } << "";
    QTest::newRow("0 then 1") << QStringList { "0", "1" } << "12";
    QTest::newRow("1, 7, then 9") << QStringList { "1", "7", "9" } << "0";
    QTest::newRow("never a table code") << QStringList { "2", "", "7" } << "";
    // Codes are compared as exact texts.
    QTest::newRow("00") << QStringList { "00" } << "";
    QTest::newRow("blank before") << QStringList { " 0" } << "";
}

void TestOrderValue::vatRateFollowsTheTableCodes()
{
    QFETCH(QStringList, codes);
    QFETCH(QString, rate);

    Order order;
    for (const QString& code : codes)
        order.setText(Order::VatCode, code);
    QCOMPARE(order.vatRate(), rate);
    QCOMPARE(order.text(Order::VatCode), codes.last());

    // The rate is the last code's alone: no code before it lingers.
    Order direct;
    direct.setText(Order::VatCode, codes.last());
    QVERIFY(direct == order);
}

void TestOrderValue::lineFromTexts_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("line");

    QTest::newRow("seven") << QStringList { "A", "B", "C", "D", "E", "F", "G" }
                           << QStringList { "A", "B", "C", "D", "E", "F", "G" };
    QTest::newRow("fewer: the rest empty") << QStringList { "A", "B" } << QStringList { "A", "B", "", "", "", "", "" };
    QTest::newRow("more: the first seven")
        << QStringList { "1", "2", "3", "4", "5", "6", "7", "8" } << QStringList { "1", "2", "3", "4", "5", "6", "7" };
    QTest::newRow("texts kept as they are") << QStringList { " A-1 ", "Skruv, 4 mm", "st", "", "2", "", "12.5" }
                                            << QStringList { " A-1 ", "Skruv, 4 mm", "st", "", "2", "", "12.5" };
}

void TestOrderValue::lineFromTexts()
{
    QFETCH(QStringList, texts);
    QFETCH(QStringList, line);

    const OrderLine made = OrderLine::fromList(texts);
    QCOMPARE(made.toList(), line);
    QCOMPARE(made.text(OrderLine::Article), line.at(0));
    QCOMPARE(made.text(OrderLine::LineAmount), line.at(6));
}

void TestOrderValue::removeLinesKeepsTheOthersInOrder_data()
{
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<QList<int>>("positions");
    QTest::addColumn<QList<int>>("left"); // line numbers, counted from 1

    QTest::newRow("second of two") << 2 << QList<int> { 1 } << QList<int> { 1 };
    QTest::newRow("first and last") << 4 << QList<int> { 0, 3 } << QList<int> { 2, 3 };
    QTest::newRow("all") << 3 << QList<int> { 0, 1, 2 } << QList<int> {};
    QTest::newRow("none") << 3 << QList<int> {} << QList<int> { 1, 2, 3 };
    QTest::newRow("given backwards") << 4 << QList<int> { 2, 0 } << QList<int> { 2, 4 };
    QTest::newRow("twice the same") << 3 << QList<int> { 1, 1 } << QList<int> { 1, 3 };
    QTest::newRow("outside the lines") << 2 << QList<int> { -1, 2, 7 } << QList<int> { 1, 2 };
    QList<int> every;
    QList<int> kept;
    for (int position = 0; position < 3000; ++position)
        (position % 3 == 1 ? kept : every).append(position);
    for (int& position : kept)
        ++position;
    QTest::newRow("thousands, every third kept") << 3000 << every << kept;
}

void TestOrderValue::removeLinesKeepsTheOthersInOrder()
{
    QFETCH(int, lineCount);
    QFETCH(QList<int>, positions);
    QFETCH(QList<int>, left);

    Order order;
    QList<int> all;
    for (int n = 1; n <= lineCount; ++n)
        all.append(n);
    order.setLines(orderLinesOf(numberedLines(all)));
    order.setText(Order::Info, QStringLiteral("Ring före leverans"));
    const Order before = order;

    order.removeLines(positions);
    // Only the lines change.
    Order expected = before;
    expected.setLines(orderLinesOf(numberedLines(left)));
    QCOMPARE(order, expected);
}

QTEST_GUILESS_MAIN(TestOrderValue)
#include "tst_ordervalue.moc"
