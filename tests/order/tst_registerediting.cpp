// The registers kept in the program: the rules a customer, a product and a
// code keep, which the register windows and the imports share; the files as
// the lookup and the picker read them back.

#include "order/customerlookup.h"
#include "order/customers.h"
#include "order/registerediting.h"
#include "support/datafolder.h"

#include "datafiles/datalock.h"
#include "datafiles/textfile.h"

#include <QTest>

class TestRegisterEditing : public QObject
{
    Q_OBJECT

private slots:
    void customer_data();
    void customer();
    void customerFileAsTheLookupReadsIt();
    void product_data();
    void product();
    void anotherDesksChangeIsNotOverwritten();
    void productSearch_data();
    void productSearch();
    void code_data();
    void code();
    void emptyAndUndo();
};

void TestRegisterEditing::customer_data()
{
    // The number it had (empty for a new one), its number, name and e-mail address.
    QTest::addColumn<QStringList>("customer");
    QTest::addColumn<QString>("reason"); // a part of it; empty: saved

    QTest::newRow("digits") << QStringList { "", "1042", "Berg" } << "";
    QTest::newRow("letters, å and €") << QStringList { "", "Åhlén-€7", "" } << "";
    QTest::newRow("empty") << QStringList { "", "", "" } << "tomt";
    QTest::newRow("blank first") << QStringList { "", " 1042", "" } << "blanksteg";
    QTest::newRow("blank last") << QStringList { "", "1042 ", "" } << "blanksteg";
    for (const char* c : { "/", "\\", ":", "*", "?", "\"", "<", ">", "|" })
        QTest::newRow(c) << QStringList { "", QStringLiteral("10%142").arg(QLatin1String(c)), "" }
                         << "filnamn inte kan";
    QTest::newRow("tab") << QStringList { "", "10\t42", "" } << "styrtecken";
    QTest::newRow("outside Windows-1252") << QStringList { "", "10Ω42", "" } << "Windows-1252";
    QTest::newRow("dot dot") << QStringList { "", "..", "" } << "filnamn";
    QTest::newRow("a device of Windows") << QStringList { "", "com3", "" } << "reserverat";
    QTest::newRow("CON") << QStringList { "", "CON", "" } << "reserverat";
    QTest::newRow("LPT1") << QStringList { "", "LPT1", "" } << "reserverat";
    // Windows looks only before the first dot, and counts superscript digits.
    QTest::newRow("CON.txt") << QStringList { "", "CON.txt", "" } << "reserverat";
    QTest::newRow("nul .tar.gz") << QStringList { "", "nul .tar.gz", "" } << "reserverat";
    QTest::newRow("LPT¹") << QStringList { "", "LPT¹", "" } << "reserverat";
    QTest::newRow("com³.dbf") << QStringList { "", "com³.dbf", "" } << "reserverat";
    QTest::newRow("CONTO.1 is no device") << QStringList { "", "CONTO.1", "" } << "";
    QTest::newRow("COM10 is no device") << QStringList { "", "COM10", "" } << "";
    QTest::newRow("NUL in the number") << QStringList { "", QStringLiteral("10%142").arg(QChar(0)), "" }
                                       << "styrtecken";
    QTest::newRow("a tab in the name") << QStringList { "1042a", "1042a", "Berg\tström" } << "Namn: texten";
    QTest::newRow("an escape in the name") << QStringList { "1042a", "1042a", "Berg\x1B[2J" } << "Namn: texten";
    QTest::newRow("another's, in other letters") << QStringList { "", "1042A", "" } << "kundnummer 1042a finns redan";
    QTest::newRow("its own, in other letters") << QStringList { "1042a", "1042A", "" } << "";
    QTest::newRow("the counter-sale customer's") << QStringList { "1", "2", "" } << "kontantkunden 1 behåller";
    QTest::newRow("a line break") << QStringList { "1042a", "1042a", "Berg\nström" } << "Namn: texten innehåller en";
    QTest::newRow("outside Windows-1252, a line") << QStringList { "1042a", "1042a", "Berg ≥ 3" } << "Namn: tecknet ≥";
    QTest::newRow("an e-mail address") << QStringList { "", "1042", "Berg", " berg@bygg.se" } << "";
    QTest::newRow("an e-mail without @") << QStringList { "", "1042", "Berg", "berg.bygg.se" }
                                         << "E-post: \"berg.bygg.se\" är ingen";
    QTest::newRow("nothing after the @") << QStringList { "1042a", "1042a", "Berg", "berg@ " } << "E-post:";
    QTest::newRow("nothing before the @") << QStringList { "", "1042", "Berg", "@bygg.se" } << "E-post:";
}

void TestRegisterEditing::customer()
{
    QFETCH(QStringList, customer);
    QFETCH(QString, reason);
    TestDataFolder folder;
    folder.write("Customer/1.GetInfo.dbf", "1\r\nKontantkund\r\n\r\n\r\n");
    folder.write("Customer/1042a.GetInfo.dbf", "1042a\r\nBerg\r\n\r\n\r\n");
    const std::optional<datafiles::Failure> failure = core::saveCustomer(
        folder.data(), { customer.at(1), customer.at(2), {}, {}, customer.value(3) }, customer.at(0));
    if (reason.isEmpty()) {
        QVERIFY2(!failure, failure ? qPrintable(failure->reason) : "");
        QVERIFY(folder.exists("Customer/" + customer.at(1) + ".GetInfo.dbf"));
        return;
    }
    QVERIFY(failure);
    QCOMPARE(failure->kind, datafiles::FailureKind::RefusedByRule);
    QVERIFY2(failure->reason.contains(reason), qPrintable(failure->reason));
    QCOMPARE(core::readCustomers(folder.data()).customers.size(), 2);
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

void TestRegisterEditing::product_data()
{
    QTest::addColumn<QByteArray>("products"); // the register; a null array: none yet
    QTest::addColumn<QStringList>("product"); // as typed
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QString>("outcome"); // the price as stored; or a part of the reason

    const QByteArray a1 = "\"A-1\",\"Skruv\",\"st\",\"1.00\"\r\n";
    QTest::newRow("decimal comma") << a1 << QStringList { "B-1", "Bult", "st", "99,5" } << true << "99.50";
    QTest::newRow("decimal point, blanks grouping")
        << a1 << QStringList { "B-1", "Bult", "st", "1 234.567" } << true << "1234.57";
    QTest::newRow("no price, no register yet") << QByteArray() << QStringList { "B-1", "Bult", "st", "" } << true << "";
    QTest::newRow("two marks") << a1 << QStringList { "B-1", "Bult", "st", "1.234,50" } << false
                               << "priset \"1.234,50\" är inte ett tal";
    QTest::newRow("letters") << a1 << QStringList { "B-1", "Bult", "st", "12 kr" } << false << "inte ett tal";
    QTest::newRow("same article, other case")
        << a1 << QStringList { "a-1", "Bult", "st", "1" } << false << "artikelnummer A-1 finns redan";
    QTest::newRow("no article") << a1 << QStringList { " ", "Bult", "st", "1" } << false << "artikelnumret är tomt";
    QTest::newRow("quote") << a1 << QStringList { "B-1", "Bult 3\"", "st", "1" } << false
                           << "Benämning: texten \"Bult 3\"\" innehåller ett citattecken";
    QTest::newRow("line break") << a1 << QStringList { "B-1", "Bult", "st\n3", "1" } << false
                                << "Enhet: texten innehåller en radbrytning";
    QTest::newRow("outside Windows-1252")
        << a1 << QStringList { "B-≥", "Bult", "st", "1" } << false << "Artikelnr: tecknet ≥";
    // A tab only in the description, as a pasted cell may bring it.
    QTest::newRow("a tab in the description") << a1 << QStringList { "B-1", "Bult\tM8", "st", "" } << true << "";
    QTest::newRow("a tab in the article number")
        << a1 << QStringList { "B\t1", "Bult", "st", "1" } << false << "Artikelnr: texten innehåller ett tabbtecken";
    QTest::newRow("NUL in the unit") << a1 << QStringList { "B-1", "Bult", QStringLiteral("s%1t").arg(QChar(0)), "1" }
                                     << false << "Enhet: texten innehåller ett styrtecken (tecken nummer 0)";
}

void TestRegisterEditing::product()
{
    QFETCH(QByteArray, products);
    QFETCH(QStringList, product);
    QFETCH(bool, saved);
    QFETCH(QString, outcome);
    TestDataFolder folder;
    if (!products.isNull())
        folder.write("Registret/Produkter.dbf", products);
    const core::RecordsRead read = core::readProducts(folder.data(), core::WhenMissing::IsEmpty);
    QVERIFY(!read.failure);
    const core::ProductIndex index(read.records, core::ProductIndex::Words::ArticleOnly);
    const std::optional<datafiles::Failure> failure
        = core::saveProduct(folder.data(), read.records, index, -1, product).failure;
    if (saved) {
        QVERIFY2(!failure, failure ? qPrintable(failure->reason) : "");
        const datafiles::RecordTable after = core::readProducts(folder.data()).records;
        QCOMPARE(after.record(after.recordCount() - 1), (QStringList { "B-1", product.at(1), "st", outcome }));
        return;
    }
    QVERIFY(failure);
    QCOMPARE(failure->kind, datafiles::FailureKind::RefusedByRule);
    QVERIFY2(failure->reason.contains(outcome), qPrintable(failure->reason));
    QCOMPARE(folder.read("Registret/Produkter.dbf"), products);
}

void TestRegisterEditing::anotherDesksChangeIsNotOverwritten()
{
    TestDataFolder folder;
    const QByteArray a1 = "\"A-1\",\"Skruv\",\"st\",\"1.00\"\r\n";
    folder.write("Registret/Produkter.dbf", a1);
    const core::RecordsRead read = core::readProducts(folder.data());
    const core::ProductIndex index(read.records, core::ProductIndex::Words::ArticleOnly);

    // Another desk saves a product while this one waits for the lock.
    const datafiles::DataDirectory other(folder.programFolder(), datafiles::Desk::another());
    std::optional<datafiles::DataLock> saving(datafiles::DataLock::take(other, QStringLiteral("spara produkt C-1")));
    const datafiles::DataDirectory here(folder.programFolder(), datafiles::Desk::another());
    here.desk().setLockWait([&](const datafiles::DeskRecord&, const std::function<bool()>&) {
        folder.write("Registret/Produkter.dbf", a1 + "\"C-1\",\"Mutter\",\"st\",\"2.00\"\r\n");
        saving.reset();
        return true;
    });
    const std::optional<datafiles::Failure> failure
        = core::saveProduct(here, read.records, index, -1, { "B-1", "Bult", "st", "1" }).failure;
    QVERIFY(failure);
    QCOMPARE(failure->kind, datafiles::FailureKind::ChangedSinceRead);
    QVERIFY(folder.read("Registret/Produkter.dbf").endsWith("\"Mutter\",\"st\",\"2.00\"\r\n"));
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
    QTest::addColumn<int>("row"); // the code's row in the register; -1 for a new one
    QTest::addColumn<QStringList>("code");
    QTest::addColumn<QString>("reason"); // a part of it; empty: accepted

    QTest::newRow("digit") << -1 << QStringList { "8", "Åtta" } << "";
    QTest::newRow("another's letter, other case")
        << -1 << QStringList { "K", "Kort" } << "koden k finns redan (stora och små";
    QTest::newRow("its own letter, other case") << 1 << QStringList { "K", "Kontant" } << "";
    QTest::newRow("a longer one already there") << 2 << QStringList { "30", "30 dagar netto" } << "";
    QTest::newRow("two characters") << -1 << QStringList { "10", "Tio" } << "ett tecken";
    QTest::newRow("blank") << -1 << QStringList { " ", "Blank" } << "blanksteg";
    QTest::newRow("quote") << -1 << QStringList { "\"", "Citat" } << "ID: texten";
    QTest::newRow("quote in the description") << 0 << QStringList { "0", "Normal \"30\"" } << "Beskrivning: texten";
    QTest::newRow("a tab in the description") << 0 << QStringList { "0", "Normal\t30" } << "";
    QTest::newRow("a control for an ID") << -1 << QStringList { "\x01", "Ett" }
                                         << "ID: texten innehåller ett styrtecken";
    QTest::newRow("a bell in the description")
        << 0 << QStringList { "0", "Normal\a" } << "Beskrivning: texten innehåller ett styrtecken";
}

void TestRegisterEditing::code()
{
    QFETCH(int, row);
    QFETCH(QStringList, code);
    QFETCH(QString, reason);
    const datafiles::RecordTable codes
        = datafiles::RecordTable::parse("\"0\",\"Normalvillkor\"\r\n\"k\",\"Kontant\"\r\n\"30\",\"30 dagar\"\r\n", 2);
    const std::optional<datafiles::Failure> problem = core::checkCode(codes, row, code);
    QVERIFY2(reason.isEmpty() ? !problem : problem && problem->reason.contains(reason),
             qPrintable(problem ? problem->reason : QString()));
}

// An emptied register is kept whole, the record it was cut short in too,
// and put back byte for byte.
void TestRegisterEditing::emptyAndUndo()
{
    TestDataFolder folder;
    const QByteArray codes = "\"0\",\"Posten\"\r\n 1 ,Bud\r\n\"2\",\"Sch";
    folder.write("Registret/Leveranssätt.dbf", codes);
    const QString file = core::registerFile(folder.data(), core::CodeRegister::DeliveryMethod);
    const core::RecordsRead read
        = core::readCodes(folder.data(), core::CodeRegister::DeliveryMethod, core::WhenMissing::IsEmpty);
    const core::RegisterSaved emptied = core::emptyRegister(folder.data(), file, read.records, QStringLiteral("Leveranssätt"));
    QVERIFY(!emptied.failure);
    QCOMPARE(emptied.records.recordCount(), 0);
    QCOMPARE(folder.read("Registret/Leveranssätt.dbf"), QByteArray());
    QCOMPARE(folder.read("Registret/Leveranssätt.dbf.före-tömning"), codes);
    QVERIFY(!core::undoEmptying(folder.data(), file, QStringLiteral("Leveranssätt")));
    QCOMPARE(folder.read("Registret/Leveranssätt.dbf"), codes);
    QVERIFY(!folder.exists("Registret/Leveranssätt.dbf.före-tömning"));
}

QTEST_GUILESS_MAIN(TestRegisterEditing)
#include "tst_registerediting.moc"
