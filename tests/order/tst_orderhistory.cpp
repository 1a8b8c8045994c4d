// The order history without a window: finding printed orders by the words the
// operator types and by their state.

#include "order/orderhistory.h"
#include "support/datafolder.h"

#include <QTest>

using core::OrderListEntry;

namespace {

// The order list in file order: the oldest printing first.
const QList<OrderListEntry> printed {
    { "260105", "1001", "1042", "Bergström Bygg AB" }, { "260212", "1002", "1", "Kontantkund" },
    { "260301", "1003", "77", "Åkesson, Karin" },      { "260415", "1010", "1042", "Bergström Bygg AB" },
    { "260502", "1011", "510", "Bygg-Olle i Ås" },     { "260503", "1012", "1001", "AB Lindström & Son" },
};

// Order numbers as the history lists them, newest first.
QStringList found(const core::OrderHistory& history, const QString& text)
{
    QStringList numbers;
    for (int place : history.search(text))
        numbers.append(history.entry(place).orderNumber);
    return numbers;
}

} // namespace

class TestOrderHistory : public QObject
{
    Q_OBJECT

private slots:
    void search_data();
    void search();
    void filters_data();
    void filters();
};

void TestOrderHistory::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("numbers");

    const QStringList all { "1012", "1011", "1010", "1003", "1002", "1001" };
    QTest::newRow("nothing typed") << "" << all;
    QTest::newRow("only blanks") << "   " << all;
    QTest::newRow("order number") << "1003" << QStringList { "1003" };
    QTest::newRow("start of order numbers") << "101" << QStringList { "1012", "1011", "1010" };
    // 1012 is for customer 1001; order 1001 has that number itself.
    QTest::newRow("customer or order number") << "1001" << QStringList { "1012", "1001" };
    QTest::newRow("customer number") << "1042" << QStringList { "1010", "1001" };
    QTest::newRow("start of a customer number") << "7" << QStringList { "1003" };
    QTest::newRow("name, another case") << "bergström" << QStringList { "1010", "1001" };
    QTest::newRow("a later word of the name") << "karin" << QStringList { "1003" };
    QTest::newRow("every word must begin one") << "bygg ab" << QStringList { "1010", "1001" };
    QTest::newRow("words in any order and fields") << "son 1001" << QStringList { "1012" };
    QTest::newRow("a word after a hyphen") << "olle" << QStringList { "1011" };
    QTest::newRow("a word with its hyphen") << "bygg-o" << QStringList { "1011" };
    QTest::newRow("inside a word is no start") << "ström" << QStringList {};
    QTest::newRow("one word finds nothing") << "bygg xyz" << QStringList {};
    QTest::newRow("a letter no order can hold") << "bygg ω" << QStringList {};
    QTest::newRow("a word does not run into the next field") << "10421" << QStringList {};
    QTest::newRow("date is not searched") << "2605" << QStringList {};
    // Pasted text: any white space parts its words, which never reach past an
    // order into the one listed after it.
    QTest::newRow("a tab parts words") << "bygg\tab" << QStringList { "1010", "1001" };
    QTest::newRow("a line feed does not join two orders") << "son\n1011" << QStringList {};
}

void TestOrderHistory::search()
{
    QFETCH(QString, text);

    QTEST(found(core::OrderHistory(printed), text), "numbers");
}

void TestOrderHistory::filters_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<int>("hidden");

    using core::StatusFilter;
    QTest::newRow("Alla") << int(StatusFilter::All) << ""
                          << QStringList { "1012", "1011", "1010", "1003", "1002", "1001" } << 0;
    QTest::newRow("Ej levererade") << int(StatusFilter::NotDelivered) << "" << QStringList { "1012", "1011", "1002" }
                                   << 3;
    QTest::newRow("Ej fakturerade") << int(StatusFilter::NotInvoiced) << ""
                                    << QStringList { "1012", "1011", "1002", "1001" } << 2;
    QTest::newRow("Makulerade") << int(StatusFilter::Voided) << "" << QStringList { "1010" } << 5;
    QTest::newRow("a search under a filter counts what it hides")
        << int(StatusFilter::NotInvoiced) << "bygg" << QStringList { "1011", "1001" } << 1;
}

void TestOrderHistory::filters()
{
    QFETCH(int, filter);
    QFETCH(QString, text);
    // 1001 delivered, 1003 invoiced, 1010 voided; a change for an order no
    // longer listed, and a state the program does not know, change nothing.
    const core::StatusLog log(QByteArray("\"1001\",\"Levererad\",\"2026-01-06 08:00:00\",\"\"\r\n"
                                         "\"9999\",\"Makulerad\",\"2026-01-06 08:00:00\",\"Fel\"\r\n"
                                         "\"1003\",\"Fakturerad\",\"2026-03-02 08:00:00\",\"\"\r\n"
                                         "\"1010\",\"Makulerad\",\"2026-04-16 08:00:00\",\"Fel kund\"\r\n"
                                         "\"1011\",\"Skickad\",\"2026-05-03 08:00:00\",\"\"\r\n"));
    core::OrderHistory history(printed);
    history.takeStates(log);
    qsizetype hidden = -1;
    QStringList numbers;
    for (int place : history.search(text, core::StatusFilter(filter), &hidden))
        numbers.append(history.entry(place).orderNumber);
    QTEST(numbers, "numbers");
    QTEST(int(hidden), "hidden");
}

QTEST_GUILESS_MAIN(TestOrderHistory)
#include "tst_orderhistory.moc"
