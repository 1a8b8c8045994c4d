// Importing a price list or a customer list: how every row of the file is
// classified before anything is written, the import written whole, undoing
// it, and the export that a second import finds unchanged.

#include "order/exporting.h"
#include "order/importing.h"
#include "order/registerediting.h"
#include "support/datafolder.h"

#include <QTest>

namespace {

const QByteArray customerBytes = "1042\r\nBergstr\xF6m\r\nV\xE4gen 1\r\n433 38 Partille\r\n";
const QByteArray registerBytes = "\"A-1\",\"Skruv\",\"st\",\"10\"\r\n"
                                 " A-2, Mutter , st , 2.00 \r\n"
                                 "\"A-3\",\"Bricka\",\"st\",\"1.00\"\r\n";

// The preview as "kind line key" a row, with the detail where the row is refused.
QStringList shown(const core::ImportPreview& preview)
{
    QStringList rows;
    for (const core::ImportRow& row : preview.rows) {
        QString text = QStringLiteral("%1 %2 %3").arg(core::rowKindName(row.kind)).arg(row.line).arg(row.key);
        if (row.kind == core::RowKind::Refused)
            text += QStringLiteral(": ") + row.detail;
        rows.append(text);
    }
    return rows;
}

} // namespace

class TestImporting : public QObject
{
    Q_OBJECT

private slots:
    void priceList_data();
    void priceList();
    void importAndUndo();
    void exportedRegisterImportsUnchanged();
    void customerListAndUndo();
    void emptyCustomersAndUndo();
    void changedSinceThePreview_data();
    void changedSinceThePreview();
};

void TestImporting::priceList_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("pricesOnly");
    QTest::addColumn<QStringList>("preview");
    QTest::addColumn<QStringList>("replaced"); // register place, then the new texts

    QTest::newRow("UTF-8 with BOM, semicolons, decimal commas, Swedish names")
        << QByteArray("\xEF\xBB\xBF"
                      "Art.nr;Benämning;Enhet;A-pris\r\n"
                      "A-1;Skruv;st;10,00\r\n"
                      "a-2;Mutter;st;2,50\r\n"
                      "B-1;\"Bult; lång\";st;\"1 234,5\"\r\n"
                      ";Ingen;st;1\r\n")
        << false << QStringList { "Oförändrad 2 A-1", "Ändrad 3 A-2", "Ny 4 B-1", "Avvisad 5 : artikelnumret är tomt" }
        << QStringList { "1", "A-2", "Mutter", "st", "2.50" };
    QTest::newRow("Windows-1252, tabs, no names, points")
        << QByteArray("A-3\tBricka f\xF6rzinkad\t\t1.00\r\nA-9\tKil\tst\tx\r\nA-8\tKil\r\n") << false
        << QStringList { "Ändrad 1 A-3", "Avvisad 2 A-9: priset \"x\" är inte ett tal",
                         "Avvisad 3 A-8: raden har för få kolumner (2 av 4)" }
        << QStringList { "2", "A-3", "Bricka förzinkad", "st", "1.00" };
    QTest::newRow("English names, commas, a quoted line break")
        << QByteArray("SKU,Description,Unit,Price\nA-1,\"Skruv\nlång\",st,10\nA-1,Skruv,st,11\n"
                      "C-1,Kil \xE2\x89\xA5 3,st,4.5\n")
        << false
        << QStringList { "Avvisad 2 A-1: artikelnumret står på flera rader i filen (rad 2, 4)",
                         "Avvisad 4 A-1: artikelnumret står på flera rader i filen (rad 2, 4)",
                         "Avvisad 5 C-1: Benämning: tecknet ≥ i \"Kil ≥ 3\" finns inte i Windows-1252" }
        << QStringList {};
    QTest::newRow("an inch mark") << QByteArray("Artikelnr;Benämning;Pris\nA-3;Bricka 1/2\";1.00\n") << false
                                  << QStringList { "Ändrad 2 A-3" }
                                  << QStringList { "2", "A-3", "Bricka 1/2”", "st", "1.00" };
    // Headings matched without letter case, blanks or dots; a price with VAT
    // is not the price, and a list without a price column changes nothing.
    QTest::newRow("heading Pris exkl. moms")
        << QByteArray("Artikelnr;Benämning;Pris exkl. moms;Enhet\nA-1;Skruv;12;st\n") << false
        << QStringList { "Ändrad 2 A-1" } << QStringList { "0", "A-1", "Skruv", "st", "12.00" };
    QTest::newRow("headings ART. NR., a-pris")
        << QByteArray("ART. NR.;beskrivning;ENHET;a-pris\nA-1;Skruv;st;12\n") << true << QStringList { "Ändrad 2 A-1" }
        << QStringList { "0", "A-1", "Skruv", "st", "12.00" };
    QTest::newRow("heading Pris inkl. moms") << QByteArray("Artikelnr;Benämning;Pris inkl. moms\nA-1;Skruv;15\n")
                                             << false << QStringList {} << QStringList {};
    QTest::newRow("control characters; a tab only in a description")
        << QByteArray("Artikelnr;Benämning;Enhet;Pris\nD-1;Kil\x1B[31m;st;1\nD-2;\"Kil\tM8\";st;2\n"
                      "\"D\t3\";Kil;st;3\n")
        << false
        << QStringList { "Avvisad 2 D-1: Benämning: texten innehåller ett styrtecken (tecken nummer 27), som inte "
                         "kan sparas",
                         "Ny 3 D-2",
                         "Avvisad 4 D\t3: Artikelnr: texten innehåller ett tabbtecken, som fältet inte kan ha" }
        << QStringList {};
    QTest::newRow("only prices: text ignored, new articles refused")
        << QByteArray("Artikelnummer;Beskrivning;Pris\nA-2;Annan text;2\nZ-1;Ny;5\n") << true
        << QStringList { "Oförändrad 2 A-2",
                         "Avvisad 3 Z-1: artikeln finns inte i produktregistret, och bara priser uppdateras" }
        << QStringList {};
}

void TestImporting::priceList()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, pricesOnly);
    QFETCH(QStringList, preview);
    QFETCH(QStringList, replaced);

    const datafiles::RecordTable products = datafiles::RecordTable::parse(registerBytes, 4);
    const core::CsvFile csv = core::readCsv(file);
    const core::ImportColumns columns = core::guessColumns(csv, core::priceListFields());
    const core::PriceListPlan plan = core::planPriceList(
        csv, columns, pricesOnly ? core::PriceListMode::PricesOnly : core::PriceListMode::AddAndUpdate, products);
    QCOMPARE(shown(plan.preview), preview);
    QCOMPARE(plan.preview.missingColumn.startsWith("Ingen kolumn är vald för Pris"), preview.isEmpty());
    if (!replaced.isEmpty()) {
        QCOMPARE(plan.changes.replaced.size(), size_t(1));
        QCOMPARE(plan.changes.replaced.begin()->first, replaced.first().toLongLong());
        QCOMPARE(plan.changes.replaced.begin()->second, replaced.mid(1));
    }
}

void TestImporting::importAndUndo()
{
    TestDataFolder folder;
    const datafiles::DataDirectory data = folder.data();
    folder.write("Registret/Produkter.dbf", registerBytes);
    const core::CsvFile csv = core::readCsv("\xEF\xBB\xBF"
                                            "Artikelnr;Benämning;Enhet;Pris\r\n"
                                            "A-1;Skruv;st;10\r\nA-3;Bricka;st;1,25\r\nN-1;Nit;st;0,5\r\nN-2;;st;x\r\n");
    const core::RecordsRead read = core::readProducts(data);
    const core::PriceListPlan plan = core::planPriceList(csv, core::guessColumns(csv, core::priceListFields()),
                                                         core::PriceListMode::AddAndUpdate, read.records);
    QCOMPARE(plan.preview.counts, (std::array<int, 4> { 1, 1, 1, 1 }));
    QVERIFY(!core::canUndoPriceList(data));

    const core::RegisterSaved imported = core::importPriceList(data, read.records, plan.changes);
    QVERIFY(!imported.failure);
    QCOMPARE(folder.read("Registret/Produkter.dbf"),
             QByteArray("\"A-1\",\"Skruv\",\"st\",\"10\"\r\n A-2, Mutter , st , 2.00 \r\n"
                        "\"A-3\",\"Bricka\",\"st\",\"1.25\"\r\n\"N-1\",\"Nit\",\"st\",\"0.50\"\r\n"));
    QCOMPARE(core::readProducts(data).records.recordCount(), 4);
    // The register as it stood is kept where the picker never looks, and the
    // start-up sweep leaves it.
    QCOMPARE(folder.read("Registret/Produkter.dbf.före-import"), registerBytes);
    QVERIFY(!datafiles::DataDirectory::isLeftoverTemporaryFile("Produkter.dbf.före-import"));

    QVERIFY(core::canUndoPriceList(data));
    QVERIFY(!core::undoPriceList(data));
    QCOMPARE(folder.read("Registret/Produkter.dbf"), registerBytes);
    QVERIFY(!core::canUndoPriceList(data));
}

void TestImporting::exportedRegisterImportsUnchanged()
{
    const datafiles::RecordTable products
        = datafiles::RecordTable::parse(registerBytes + "\"A-4\",\"Plugg; 6 mm\",\"f\xF6rp\",\"12.50\"\r\n", 4);
    const QByteArray exported = core::exportedProducts(products);
    QVERIFY(exported.startsWith("\xEF\xBB\xBF"
                                "Artikelnr;Benämning;Enhet;Pris\r\nA-1;Skruv;st;10\r\n"));
    QVERIFY(exported.endsWith("A-4;\"Plugg; 6 mm\";förp;12,50\r\n"));

    const core::CsvFile csv = core::readCsv(exported);
    const core::PriceListPlan plan = core::planPriceList(csv, core::guessColumns(csv, core::priceListFields()),
                                                         core::PriceListMode::AddAndUpdate, products);
    QCOMPARE(plan.preview.count(core::RowKind::Unchanged), 4);
    QCOMPARE(plan.preview.rows.size(), 4);
}

void TestImporting::customerListAndUndo()
{
    TestDataFolder folder;
    const datafiles::DataDirectory data = folder.data();
    folder.write("Customer/1042.GetInfo.dbf", customerBytes);
    const core::CsvFile csv = core::readCsv("Kundnr;Namn;Adress;Postadress;E-post\n"
                                            "1042;Bergström;Vägen 2;;info@b.se\n2001;Ny Kund AB;Gatan 1;111 11 Sthlm;\n"
                                            "20/1;Fel;;;\n3001;Utan adress;;;info.b.se\n");
    const core::CustomerListPlan plan = core::planCustomerList(csv, core::guessColumns(csv, core::customerListFields()),
                                                               core::readCustomers(data).customers);
    QCOMPARE(shown(plan.preview),
             (QStringList { "Ändrad 2 1042", "Ny 3 2001",
                            "Avvisad 4 20/1: kundnumret \"20/1\" innehåller tecknet /, som ett filnamn inte kan "
                            "innehålla",
                            "Avvisad 5 3001: E-post: \"info.b.se\" är ingen e-postadress" }));

    QVERIFY(!core::importCustomerList(data, plan));
    QCOMPARE(folder.read("Customer/1042.GetInfo.dbf"),
             QByteArray("1042\r\nBergstr\xF6m\r\nV\xE4gen 2\r\n433 38 Partille\r\ninfo@b.se\r\n"));
    QCOMPARE(folder.read("Customer/2001.GetInfo.dbf"), QByteArray("2001\r\nNy Kund AB\r\nGatan 1\r\n111 11 Sthlm\r\n"));

    QVERIFY(core::canUndoCustomerList(data));
    QVERIFY(!core::undoCustomerList(data));
    QCOMPARE(folder.read("Customer/1042.GetInfo.dbf"), customerBytes);
    QVERIFY(!folder.exists("Customer/2001.GetInfo.dbf"));
    QVERIFY(!core::canUndoCustomerList(data));
}

void TestImporting::changedSinceThePreview_data()
{
    QTest::addColumn<QString>("file"); // under System
    QTest::addColumn<QByteArray>("bytes"); // what another desk writes there after the preview

    QTest::newRow("the register, to the same size")
        << "Registret/Produkter.dbf" << QByteArray(registerBytes).replace("Skruv", "Spik!");
    QTest::newRow("a new customer's file") << "Customer/2001.GetInfo.dbf" << QByteArray("2001\r\nAnnan AB\r\n\r\n\r\n");
    QTest::newRow("a changed customer's file")
        << "Customer/1042.GetInfo.dbf" << QByteArray(customerBytes).replace("1\r\n4", "3\r\n4");
}

void TestImporting::changedSinceThePreview()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    TestDataFolder folder;
    const datafiles::DataDirectory data = folder.data();
    folder.write("Registret/Produkter.dbf", registerBytes);
    folder.write("Customer/1042.GetInfo.dbf", customerBytes);
    // An earlier import, which the refused one leaves to be undone.
    const core::Customer earlier { "3001", "Förra importen", "", "", "" };
    QVERIFY(!core::importCustomerList(data, { {}, { earlier }, { earlier.number }, {} }));

    const core::CsvFile customers = core::readCsv("1042;Bergström;Vägen 2;433 38 Partille\n2001;Ny Kund AB;;\n");
    const core::CustomerListPlan customerPlan = core::planCustomerList(
        customers, core::guessColumns(customers, core::customerListFields()), core::readCustomers(data).customers);
    const core::CsvFile prices = core::readCsv("A-3;Bricka;st;1,25\n");
    const datafiles::RecordTable products = core::readProducts(data).records;
    const core::PriceListPlan pricePlan = core::planPriceList(
        prices, core::guessColumns(prices, core::priceListFields()), core::PriceListMode::AddAndUpdate, products);
    folder.write(file, bytes);
    const std::optional<datafiles::Failure> failure = file.startsWith("Customer")
        ? core::importCustomerList(data, customerPlan)
        : core::importPriceList(data, products, pricePlan.changes).failure;
    QVERIFY(failure);
    QCOMPARE(failure->kind, datafiles::FailureKind::ChangedSinceRead);
    QCOMPARE(folder.read(file), bytes);

    QVERIFY(!core::undoCustomerList(data));
    QVERIFY(!folder.exists("Customer/3001.GetInfo.dbf"));
    QCOMPARE(folder.read(file), bytes);
}

// Emptying the customers leaves the counter-sale customer, and is undone as
// a customer import is.
void TestImporting::emptyCustomersAndUndo()
{
    TestDataFolder folder;
    const QByteArray berg = "1042\r\nBerg\r\nV\xe4gen 1\r\n123 45  Ort\r\nberg@example.se\r\n";
    folder.write("Customer/1.GetInfo.dbf", "1\r\nKontant\r\n\r\n\r\n");
    folder.write("Customer/1042.GetInfo.dbf", berg);
    QVERIFY(!core::emptyCustomers(folder.data()));
    QVERIFY(folder.exists("Customer/1.GetInfo.dbf"));
    QVERIFY(!folder.exists("Customer/1042.GetInfo.dbf"));
    QVERIFY(core::canUndoCustomerList(folder.data()));
    QVERIFY(!core::undoCustomerList(folder.data()));
    QCOMPARE(folder.read("Customer/1042.GetInfo.dbf"), berg);
}

QTEST_GUILESS_MAIN(TestImporting)
#include "tst_importing.moc"
