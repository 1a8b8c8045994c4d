// Enter in the customer-number box: the customer boxes and the order take the
// customer's file, and the customer lines become read-only but for customer "1".

#include "order/order.h"
#include "support/testsupport.h"
#include "widgets/textbox.h"

#include <QPushButton>
#include <QTest>

using core::Order;
using Files = QMap<QString, QByteArray>;

namespace {

const char* const customerBoxes[] = { "txt_KundField0", "txt_KundField1", "txt_KundField2", "txt_KundField3" };
const Order::Field customerFields[]
    = { Order::CustomerNumber, Order::CustomerLine1, Order::CustomerLine2, Order::CustomerLine3 };

OrderDesk::Files customerFiles(const Files& files)
{
    OrderDesk::Files placed;
    for (auto file = files.cbegin(); file != files.cend(); ++file)
        placed.append({ "Customer/" + file.key() + ".GetInfo.dbf", file.value() });
    return placed;
}

QStringList shownCustomer(const OrderDesk& desk)
{
    QStringList shown;
    for (const char* name : customerBoxes)
        shown.append(desk.box(name)->text());
    return shown;
}

QStringList orderedCustomer(const OrderDesk& desk)
{
    QStringList ordered;
    for (Order::Field field : customerFields)
        ordered.append(desk.order().text(field));
    return ordered;
}

const QByteArray defaultCustomer("1\r\nKontantkund\r\nDisken\r\n\r\n");
const QStringList defaultLines { "1", "Kontantkund", "Disken", "" };
const QByteArray bergstrom("1042\r\nBergstr\xF6m Bygg AB\r\nIndustriv\xE4gen 14\r\n433 38  Partille\r\n");
const QStringList bergstromLines { "1042", "Bergström Bygg AB", "Industrivägen 14", "433 38  Partille" };

} // namespace

class TestCustomerLookup : public QObject
{
    Q_OBJECT

private slots:
    void enterFillsTheCustomerBoxes_data();
    void enterFillsTheCustomerBoxes();
    void searchButtonLooksUpToo();
    void enterElsewhereLooksNothingUp_data();
    void enterElsewhereLooksNothingUp();
};

void TestCustomerLookup::enterFillsTheCustomerBoxes_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<bool>("linesReadOnly");

    // The files' own edge cases are the lookup's; here the window passes on what
    // was typed and shows what came back.
    const Files files { { "1", defaultCustomer }, { "1042", bergstrom }, { " 1042", " 1042\r\nX\r\n" } };
    QTest::newRow("four lines") << files << "1042" << bergstromLines << true;
    QTest::newRow("unknown number") << files << "9999" << defaultLines << true;
    QTest::newRow("empty number") << files << "" << defaultLines << true;
    QTest::newRow("1 stays editable") << files << "1" << defaultLines << false;
    QTest::newRow("typed with a leading blank") << files << " 1042" << QStringList { " 1042", "X", "", "" } << true;
    QTest::newRow("no customer files at all") << Files {} << "9999" << QStringList { "", "", "", "" } << true;
}

void TestCustomerLookup::enterFillsTheCustomerBoxes()
{
    QFETCH(Files, files);
    QFETCH(QString, typed);
    QFETCH(QStringList, shown);
    QFETCH(bool, linesReadOnly);

    OrderDesk desk(customerFiles(files));
    TextBox* number = desk.box("txt_KundField0");

    // A lookup before this one: its texts and read-only state must all go.
    number->setText(typed == "1" ? "" : "1");
    QTest::keyClick(number, Qt::Key_Return);
    number->clear();

    QTest::keyClicks(number, typed);
    QTest::keyClick(number, Qt::Key_Return);

    QCOMPARE(shownCustomer(desk), shown);
    QCOMPARE(orderedCustomer(desk), shown);
    for (const char* name : { "txt_KundField1", "txt_KundField2", "txt_KundField3" })
        QCOMPARE(desk.box(name)->isReadOnly(), linesReadOnly);
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestCustomerLookup::searchButtonLooksUpToo()
{
    // The hidden "Sök" button carries the same lookup.
    OrderDesk desk(customerFiles({ { "1", defaultCustomer }, { "1042", bergstrom } }));
    auto* search = desk.window.findChild<QPushButton*>(QStringLiteral("cmdGetCustomerInfo"));
    QVERIFY(search);
    QVERIFY(search->isHidden());
    QCOMPARE(search->text(), QStringLiteral("Sök"));
    desk.box("txt_KundField0")->setText(QStringLiteral("1042"));
    search->click();
    QCOMPARE(shownCustomer(desk), bergstromLines);
    QCOMPARE(orderedCustomer(desk), bergstromLines);
    QVERIFY(desk.box("txt_KundField1")->isReadOnly());
}

void TestCustomerLookup::enterElsewhereLooksNothingUp_data()
{
    QTest::addColumn<QString>("box");
    for (const char* name : { "txt_KundField1", "txt_KundField3", "txt_Info", "txt_Mkod", "txt_lpl" })
        QTest::newRow(name) << name;
}

void TestCustomerLookup::enterElsewhereLooksNothingUp()
{
    QFETCH(QString, box);
    OrderDesk desk(customerFiles({ { "1", defaultCustomer }, { "1042", bergstrom } }));
    QTest::keyClicks(desk.box("txt_KundField0"), QStringLiteral("1042"));
    QTest::keyClicks(desk.box("txt_KundField1"), QStringLiteral("Egen rad"));

    QTest::keyClick(desk.box(qPrintable(box)), Qt::Key_Return);

    const QStringList typed { "1042", "Egen rad", "", "" };
    QCOMPARE(shownCustomer(desk), typed);
    QCOMPARE(orderedCustomer(desk), typed);
    for (const char* name : { "txt_KundField1", "txt_KundField2", "txt_KundField3" })
        QVERIFY(!desk.box(name)->isReadOnly());
}

QTEST_MAIN(TestCustomerLookup)
#include "tst_customerlookup.moc"
