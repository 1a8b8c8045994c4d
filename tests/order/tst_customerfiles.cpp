// The customer lookup: the number as typed names the customer's file, whose
// four lines become the customer number and the three customer lines.

#include "order/customerlookup.h"
#include "order/order.h"
#include "support/datafolder.h"

#include <QTest>

using Files = QMap<QString, QByteArray>;
using core::Order;

class TestCustomerFiles : public QObject
{
    Q_OBJECT

private slots:
    void lookUp_data();
    void lookUp();
    void lookupGoesIntoTheOrder();
};

void TestCustomerFiles::lookUp_data()
{
    QTest::addColumn<Files>("files"); // by customer number
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("editable");

    const QByteArray defaultCustomer("1\r\nKontantkund\r\nDisken\r\n\r\n");
    const QStringList defaultLines { "1", "Kontantkund", "Disken", "" };
    auto with = [&](const QString& number, const QByteArray& bytes) {
        return Files { { "1", defaultCustomer }, { number, bytes } };
    };

    QTest::newRow("four lines") << with("1042",
                                        "1042\r\nBergstr\xF6m Bygg AB\r\nIndustriv\xE4gen 14\r\n433 38  Partille\r\n")
                                << "1042"
                                << QStringList { "1042", "Bergström Bygg AB", "Industrivägen 14", "433 38  Partille" }
                                << false;
    QTest::newRow("two lines") << with("1042", "1042\r\nLind, Karin\r\n") << "1042"
                               << QStringList { "1042", "Lind, Karin", "", "" } << false;
    QTest::newRow("quotes kept, fifth line ignored")
        << with("8", "8\r\n\"Lind, Karin\",\"AB\"\r\nx\"y\r\nC\r\nD\r\n") << "8"
        << QStringList { "8", "\"Lind, Karin\",\"AB\"", "x\"y", "C" } << false;
    QTest::newRow("unknown number") << with("1042", "1042\r\n") << "9999" << defaultLines << false;
    QTest::newRow("empty number") << with("1042", "1042\r\n") << "" << defaultLines << false;
    QTest::newRow("1 stays editable") << with("1042", "1042\r\n") << "1" << defaultLines << true;
    QTest::newRow("no customer files at all") << Files {} << "9999" << QStringList { "", "", "", "" } << false;
    QTest::newRow("1 without its file") << Files {} << "1" << QStringList { "", "", "", "" } << true;
    QTest::newRow("leading blank names another file")
        << with("1042", "1042\r\nA\r\n") << " 1042" << defaultLines << false;
    QTest::newRow("file named with the blank")
        << with(" 1042", " 1042\r\nX\r\n") << " 1042" << QStringList { " 1042", "X", "", "" } << false;
    QTest::newRow("a path names no file")
        << with("1042", "1042\r\nA\r\n") << "../Customer/1042" << defaultLines << false;
    // Both files are read into the same four slots: a line the default
    // customer's file lacks keeps what the first file gave.
    QTest::newRow("empty first line, short default file")
        << Files { { "1", "1\r\nKontantkund\r\n" }, { "5", "\r\nA\r\nB\r\nC" } } << "5"
        << QStringList { "1", "Kontantkund", "B", "C" } << false;
    QTest::newRow("empty first line, no default file")
        << Files { { "5", "\r\nA\r\nB\r\n" } } << "5" << QStringList { "", "A", "B", "" } << false;
}

void TestCustomerFiles::lookUp()
{
    QFETCH(Files, files);
    QFETCH(QString, typed);
    QFETCH(QStringList, lines);

    TestDataFolder folder;
    for (auto file = files.cbegin(); file != files.cend(); ++file)
        folder.write("Customer/" + file.key() + ".GetInfo.dbf", file.value());

    const core::CustomerLookup customer = core::lookUpCustomer(folder.data(), typed);
    QCOMPARE(QStringList(customer.lines.begin(), customer.lines.end()), lines);
    QTEST(customer.linesEditable, "editable");
    // Any number but "1" that brings no file of its own brought the counter-sale customer instead.
    QCOMPARE(customer.counterSaleInstead, !typed.isEmpty() && typed != "1" && lines.first() != typed);
}

void TestCustomerFiles::lookupGoesIntoTheOrder()
{
    Order order;
    order.setText(Order::CustomerNumber, QStringLiteral("9999"));
    order.setText(Order::CustomerLine3, QStringLiteral("från förra kunden"));
    order.setText(Order::Info, QStringLiteral("Ring före leverans"));
    order.setText(Order::OrderNumber, QStringLiteral("1042"));
    order.appendLine(core::OrderLine::fromList({ "A1", "Spik" }));
    Order expected = order;

    core::applyCustomer(order, { { "1042", "Lind, Karin", "", "" }, false });

    expected.setText(Order::CustomerNumber, QStringLiteral("1042"));
    expected.setText(Order::CustomerLine1, QStringLiteral("Lind, Karin"));
    expected.setText(Order::CustomerLine2, QString());
    expected.setText(Order::CustomerLine3, QString());
    QCOMPARE(order, expected);
}

QTEST_GUILESS_MAIN(TestCustomerFiles)
#include "tst_customerfiles.moc"
