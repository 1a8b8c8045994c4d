// The registers kept in the program: the customer-number, article-number,
// price and code rules; the files as the lookup and the picker read them back;
// a rewrite that keeps the bytes of every record it does not touch.

#include "order/customerlookup.h"
#include "order/customers.h"
#include "order/registerediting.h"
#include "support/datafolder.h"

#include "datafiles/textfile.h"

#include <QTest>

class TestRegisterEditing : public QObject
{
    Q_OBJECT

private slots:
    void customerNumber_data();
    void customerNumber();
    void customerFileAsTheLookupReadsIt();
    void productRules_data();
    void productRules();
    void productSearch_data();
    void productSearch();
    void code_data();
    void code();
    void rewriteKeepsUntouchedRecords();
};

void TestRegisterEditing::customerNumber_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("reason"); // a part of it; empty: accepted

    QTest::newRow("digits") << "1042"
                            << "";
    QTest::newRow("letters, å and €") << "Åhlén-€7"
                                      << "";
    QTest::newRow("empty") << ""
                           << "tomt";
    QTest::newRow("blank first") << " 1042"
                                 << "blanksteg";
    QTest::newRow("blank last") << "1042 "
                                << "blanksteg";
    for (const char* c : { "/", "\\", ":", "*", "?", "\"", "<", ">", "|" })
        QTest::newRow(c) << QStringLiteral("10%142").arg(QLatin1String(c)) << "filnamn inte kan";
    QTest::newRow("tab") << "10\t42"
                         << "styrtecken";
    QTest::newRow("outside Windows-1252") << "10Ω42"
                                          << "Windows-1252";
    QTest::newRow("dot dot") << ".."
                             << "filnamn";
    QTest::newRow("a device of Windows") << "com3"
                                         << "reserverat";
}

void TestRegisterEditing::customerNumber()
{
    QFETCH(QString, number);
    QFETCH(QString, reason);
    const QString problem = core::customerNumberProblem(number);
    QVERIFY2(reason.isEmpty() ? problem.isEmpty() : problem.contains(reason), qPrintable(problem));
}

void TestRegisterEditing::customerFileAsTheLookupReadsIt()
{
    TestDataFolder folder;
    const datafiles::DataDirectory data = folder.data();
    core::Customer customer { "1042a", "Bergström Bygg AB", "Industrivägen 14", "433 38  Partille", "" };
    QVERIFY(!core::saveCustomer(data, customer));
    QCOMPARE(folder.read("Customer/1042a.GetInfo.dbf"),
             QByteArray("1042a\r\nBergstr\xF6m Bygg AB\r\nIndustriv\xE4gen 14\r\n433 38  Partille\r\n"));

    // A new number renames the file; the e-mail address is a fifth line the lookup passes over.
    customer.number = "1043";
    customer.email = "order@bergstrom.se";
    QVERIFY(!core::saveCustomer(data, customer, "1042a"));
    QVERIFY(!folder.exists("Customer/1042a.GetInfo.dbf"));
    QVERIFY(folder.read("Customer/1043.GetInfo.dbf").endsWith("Partille\r\norder@bergstrom.se\r\n"));
    const core::CustomerLookup found = core::lookUpCustomer(data, "1043");
    QCOMPARE(QStringList(found.lines.begin(), found.lines.end()),
             (QStringList { "1043", "Bergström Bygg AB", "Industrivägen 14", "433 38  Partille" }));

    folder.write("Customer/1.GetInfo.dbf", "1\r\nKontantkund\r\n\r\n\r\n");
    const core::CustomersRead read = core::readCustomers(data);
    QCOMPARE(read.customers.size(), 2);
    QCOMPARE(read.customers.first().number, QStringLiteral("1"));
    QCOMPARE(read.customers.last(), customer);
    QVERIFY(!core::removeCustomer(data, "1043"));
    QVERIFY(!folder.exists("Customer/1043.GetInfo.dbf"));
}

void TestRegisterEditing::productRules_data()
{
    QTest::addColumn<QStringList>("product"); // as typed
    QTest::addColumn<QString>("price"); // as stored; empty when refused
    QTest::addColumn<QString>("reason"); // a part of it; empty: accepted

    QTest::newRow("decimal comma") << QStringList { "B-1", "Bult", "st", "99,5" } << "99.50"
                                   << "";
    QTest::newRow("decimal point, blanks grouping") << QStringList { "B-1", "Bult", "st", "1 234.567" } << "1234.57"
                                                    << "";
    QTest::newRow("no price") << QStringList { "B-1", "Bult", "st", "" } << ""
                              << "";
    QTest::newRow("two marks") << QStringList { "B-1", "Bult", "st", "1.234,50" } << ""
                               << "inte ett tal";
    QTest::newRow("letters") << QStringList { "B-1", "Bult", "st", "12 kr" } << ""
                             << "inte ett tal";
    QTest::newRow("same article, other case") << QStringList { "a-1", "Bult", "st", "1" } << "1.00"
                                              << "finns redan";
    QTest::newRow("no article") << QStringList { " ", "Bult", "st", "1" } << "1.00"
                                << "tomt";
    QTest::newRow("quote") << QStringList { "B-1", "Bult 3\"", "st", "1" } << "1.00"
                           << "citattecken";
    QTest::newRow("line break") << QStringList { "B-1", "Bult\n3", "st", "1" } << "1.00"
                                << "radbrytning";
    QTest::newRow("outside Windows-1252") << QStringList { "B-1", "Bult ≥ 3", "st", "1" } << "1.00"
                                          << "Windows-1252";
}

void TestRegisterEditing::productRules()
{
    QFETCH(QStringList, product);
    QFETCH(QString, price);
    QFETCH(QString, reason);

    const datafiles::RecordTable products = datafiles::RecordTable::parse("\"A-1\",\"Skruv\",\"st\",\"1.00\"\r\n", 4);
    const core::ProductIndex index(products, core::ProductIndex::Words::ArticleOnly);
    const std::optional<QString> stored = product.at(3).isEmpty() ? QString() : core::storedPrice(product.at(3));
    QCOMPARE(stored.value_or(QString()), price);
    if (!stored) {
        QVERIFY(reason.contains("inte ett tal"));
        return;
    }
    product[3] = *stored;
    QString problem = core::productProblem(product);
    if (problem.isEmpty() && index.findArticle(products, product.at(0)) >= 0)
        problem = core::articleNumberTaken(product.at(0));
    QVERIFY2(reason.isEmpty() ? problem.isEmpty() : problem.contains(reason), qPrintable(problem));
}

void TestRegisterEditing::productSearch_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("found");

    QTest::newRow("start of the article number") << "ts35" << QList<int> { 0, 1 };
    QTest::newRow("a word of the description, either case") << "FÖRZ" << QList<int> { 0, 1 };
    QTest::newRow("every word must begin one") << "bult m8" << QList<int> { 2 };
    QTest::newRow("longer than the index's four letters") << "träskruv" << QList<int> { 0, 1 };
    QTest::newRow("inside a word finds nothing") << "krav" << QList<int> {};
    QTest::newRow("a word of the unit is not searched") << "förp" << QList<int> {};
    QTest::newRow("no words lists all") << "  " << QList<int> { 0, 1, 2 };
}

void TestRegisterEditing::productSearch()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, found);
    const datafiles::RecordTable products = datafiles::RecordTable::parse(
        "\"TS35-25\",\"Tr\xE4skruv f\xF6rzinkad\",\"f\xF6rp\",\"99.50\"\r\n"
        "ts35-30,Tr\xE4skruv f\xF6rzinkad 3.5x30,f\xF6rp,99\r\n\"B-8\",\"Bult M8x40\",\"st\",\"5.00\"\r\n",
        4);
    const core::ProductIndex index(products, core::ProductIndex::Words::AndDescription);
    const std::vector<int> rows = index.search(products, text);
    QCOMPARE(QList<int>(rows.begin(), rows.end()), found);
}

void TestRegisterEditing::code_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("reason"); // a part of it; empty: accepted

    QTest::newRow("digit") << "8"
                           << "";
    QTest::newRow("letter") << "K"
                            << "";
    QTest::newRow("two characters") << "10"
                                    << "ett tecken";
    QTest::newRow("empty") << ""
                           << "ett tecken";
    QTest::newRow("blank") << " "
                           << "blanksteg";
    QTest::newRow("quote") << "\""
                           << "citattecken";
}

void TestRegisterEditing::code()
{
    QFETCH(QString, id);
    QFETCH(QString, reason);
    const QString problem = core::codeProblem(id);
    QVERIFY2(reason.isEmpty() ? problem.isEmpty() : problem.contains(reason), qPrintable(problem));
}

void TestRegisterEditing::rewriteKeepsUntouchedRecords()
{
    TestDataFolder folder;
    const datafiles::DataDirectory data = folder.data();
    // Hand-written records: unquoted, with blanks, two on one line, and a
    // record the file was cut short in.
    const QByteArray before = "\r\nA-1, Skruv , st,10\r\n\"A-2\",\"Mutter\",\"st\",\"2.00\"\r\n"
                              "\"A-3\",\"Bricka\",\"st\",\"1.00\",A-4,Plugg,st,3\r\n\"A-5\",\"Kil\"";
    folder.write("Registret/Produkter.dbf", before);
    const core::EditableRegister read = core::readEditableProducts(data);
    QCOMPARE(read.records.recordCount(), 4);
    QVERIFY(read.cutShort);

    datafiles::RecordChanges changes;
    changes.replaced[1] = { "A-2", "Mutter M8", "st", "2.50" };
    changes.removed.insert(2);
    changes.added.append({ "Ö-1", "Öglebult", "st", "15.00" });
    const core::RegisterSaved saved
        = core::saveRegister(data.productRegister(), read.records, changes, QStringLiteral("spara"));
    QVERIFY(!saved.failure);
    const QByteArray after = "\r\nA-1, Skruv , st,10\r\n\"A-2\",\"Mutter M8\",\"st\",\"2.50\"\r\n"
                             "A-4,Plugg,st,3\r\n\"\xD6-1\",\"\xD6glebult\",\"st\",\"15.00\"\r\n";
    QCOMPARE(folder.read("Registret/Produkter.dbf"), after);
    // The picker's own reader gives exactly the intended rows.
    const core::ProductsRead picker = core::readProducts(data);
    QVERIFY(!picker.cutShort);
    QCOMPARE(picker.products.recordCount(), 4);
    QCOMPARE(picker.products.record(0), (QStringList { "A-1", "Skruv ", "st", "10" }));
    QCOMPARE(picker.products.record(3), (QStringList { "Ö-1", "Öglebult", "st", "15.00" }));

    // A register changed on disk since it was read is left alone.
    const core::RegisterSaved stale
        = core::saveRegister(data.productRegister(), read.records, changes, QStringLiteral("spara"));
    QVERIFY(stale.failure);
    QCOMPARE(stale.failure->kind, datafiles::FailureKind::ChangedSinceRead);
    QCOMPARE(folder.read("Registret/Produkter.dbf"), after);
}

QTEST_GUILESS_MAIN(TestRegisterEditing)
#include "tst_registerediting.moc"
