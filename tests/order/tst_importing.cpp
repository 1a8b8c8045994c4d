// Importing a price list or a customer list: how every row of the file is
// classified before anything is written, the import written whole, undoing
// it, and the export that a second import finds unchanged.

#include "datafiles/codepage.h"
#include "datafiles/textfile.h"
#include "order/exporting.h"
#include "order/importing.h"
#include "order/registerediting.h"
#include "support/datafolder.h"
#include "support/machine.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryFile>
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

// The rows of a read list as "line: cell|cell", a long cell by its length;
// or "Avvisad: " and why the file is refused.
QStringList readRows(const core::CsvFile& csv)
{
    if (csv.refused)
        return { QStringLiteral("Avvisad: ") + csv.refused->reason };
    QStringList rows;
    for (qsizetype r = 0; r < csv.rows.size(); ++r) {
        QStringList cells;
        for (const QString& cell : csv.rows.at(r))
            cells.append(cell.size() > 20 ? QStringLiteral("<%1 tecken>").arg(cell.size()) : cell);
        rows.append(QStringLiteral("%1: %2").arg(csv.lines.at(r)).arg(cells.join(u'|')));
    }
    return rows;
}

QByteArray utf16(const QString& text, bool littleEndian)
{
    QByteArray bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (QChar c : text) {
        const char low = char(c.unicode() & 0xFF);
        const char high = char(c.unicode() >> 8);
        bytes.append(littleEndian ? low : high);
        bytes.append(littleEndian ? high : low);
    }
    return bytes;
}

// The cells as Python's csv module reads the file, as many programs read CSV.
QList<QStringList> readByPython(const QByteArray& bytes)
{
    QTemporaryFile file;
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        return {};
    QProcess python;
    python.start(QStringLiteral("python3"),
                 { "-c",
                   "import csv, json, sys\n"
                   "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                   "    print(json.dumps(list(csv.reader(f, delimiter=';'))))",
                   file.fileName() });
    python.waitForFinished(20000);
    QList<QStringList> rows;
    for (const QJsonValue row : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
        QStringList cells;
        for (const QJsonValue cell : row.toArray())
            cells.append(cell.toString());
        rows.append(cells);
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
    void hostileLists_data();
    void hostileLists();
    void exportsNeutraliseFormulas_data();
    void exportsNeutraliseFormulas();
    void exportsStayOutOfTheDataFolder_data();
    void exportsStayOutOfTheDataFolder();
    void failedCustomerImportLeavesNothing_data();
    void failedCustomerImportLeavesNothing();
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
    QTest::newRow("a cell of more than 1,000 characters")
        << "Artikelnr;Benämning;Enhet;Pris\nA-1;Skruv;st;10\nA-3;" + QByteArray(50'000, 'x') + ";st;1\n"
        << false << QStringList { "Oförändrad 2 A-1", "Avvisad 3 A-3: Benämning är längre än 1000 tecken" }
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

void TestImporting::hostileLists_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("read");

    QTest::newRow("UTF-8 but for one byte")
        << QByteArray("Artikelnr;Benämning\r\nA-1;Skruv\r\nA-2;M\xE4sk\r\n")
        << QStringList { "Avvisad: filen är skriven i UTF-8, men byten E4 på rad 3, kolumn 6 hör inte till UTF-8; "
                         "spara listan som UTF-8 och försök igen" };
    QTest::newRow("UTF-8 by its mark, with a byte that is not")
        << QByteArray("\xEF\xBB\xBF"
                      "A-1;Skruv\nA-2;\xE4\n")
        << QStringList { "Avvisad: filen är skriven i UTF-8, men byten E4 på rad 2, kolumn 5 hör inte till UTF-8; "
                         "spara listan som UTF-8 och försök igen" };
    QTest::newRow("Windows-1252 throughout")
        << QByteArray("A-1;M\xE4sk\r\nA-2;\xC5s\r\n") << QStringList { "1: A-1|Mäsk", "2: A-2|Ås" };
    QTest::newRow("UTF-16 LE") << utf16("A-1;Mäsk\r\nA-2;Ås €\r\n", true)
                               << QStringList { "1: A-1|Mäsk", "2: A-2|Ås €" };
    QTest::newRow("UTF-16 BE") << utf16("A-1;Mäsk\nA-2;Ås\n", false) << QStringList { "1: A-1|Mäsk", "2: A-2|Ås" };
    QTest::newRow("UTF-16 with half a character")
        << utf16(QStringLiteral("A-1;x\nA-") + QChar(0xD800) + "2;y\n", true)
        << QStringList { "Avvisad: filen är skriven i UTF-16, men tecknet på rad 2, kolumn 3 är inte giltig UTF-16; "
                         "spara listan på nytt och försök igen" };
    QTest::newRow("a quote never closed")
        << QByteArray("A-1;Skruv;st\nA-2;\"Mutter;st\nA-3;Bricka;st\n")
        << QStringList { "Avvisad: citattecknet som öppnar en cell på rad 2 stängs aldrig, så resten av filen blir en "
                         "enda cell; rätta filen och försök igen" };
    QTest::newRow("a quote closed on the next line, CR, LF and CR LF")
        << QByteArray("A-1;\"Skruv\r\nlång\"\rA-2;Mutter\nA-3;Bricka\r\n\r\nA-4;\"\"\"Kil\"\"\"")
        << QStringList { "1: A-1|Skruv\r\nlång", "3: A-2|Mutter", "4: A-3|Bricka", "6: A-4|\"Kil\"" };
    QTest::newRow("a cell of 50 kB, cut") << "A-1;" + QByteArray(50'000, 'x') + "\nA-2;y\n"
                                          << QStringList { "1: A-1|<1001 tecken>", "2: A-2|y" };
    QTest::newRow("exported formulas") << QByteArray("'=1+2;''@x;'abc;'-5\n") << QStringList { "1: =1+2|'@x|'abc|-5" };
}

void TestImporting::hostileLists()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, read);
    QCOMPARE(readRows(core::readCsv(file)), read);
}

void TestImporting::exportsNeutraliseFormulas_data()
{
    QTest::addColumn<QString>("text"); // a product's description, a customer's name
    QTest::addColumn<QString>("read"); // the cell as a spreadsheet reads it

    QTest::newRow("=") << "=HYPERLINK(A1;\"Klicka\")"
                       << "'=HYPERLINK(A1;\"Klicka\")";
    QTest::newRow("+") << "+cmd|' /C calc'!A0"
                       << "'+cmd|' /C calc'!A0";
    QTest::newRow("-") << "-2+3"
                       << "'-2+3";
    QTest::newRow("@") << "@SUMMA(A1)"
                       << "'@SUMMA(A1)";
    QTest::newRow("tab") << "\t=1"
                         << "'\t=1";
    QTest::newRow("CR") << "\r=1"
                        << "'\r=1";
    QTest::newRow("an apostrophe before =") << "'=1"
                                            << "''=1";
    QTest::newRow("an apostrophe before text") << "'Kil"
                                               << "'Kil";
}

void TestImporting::exportsNeutraliseFormulas()
{
    QFETCH(QString, text);
    QFETCH(QString, read);
    SKIP_IF_UNAVAILABLE(notInstalled(QStringLiteral("python3"), QStringLiteral("python3")));
    // The register keeps its texts in quotes, which a text's own quote would end.
    const QString stored = QString(text).replace(u'"', u'\'');
    const datafiles::RecordTable products = datafiles::RecordTable::parse(
        "\"A-1\",\"" + datafiles::encode1252(stored) + "\",\"st\",\"-2.50\"\r\n", core::productFields);
    const QByteArray exported = core::exportedProducts(products);
    const QList<QStringList> productRows = readByPython(exported);
    QCOMPARE(productRows.value(1), (QStringList { "A-1", QString(read).replace(u'"', u'\''), "st", "-2,50" }));
    QCOMPARE(readByPython(core::exportedCustomers({ { "1042", text, "", "", "" } })).value(1).value(1), read);
    QCOMPARE(readByPython(core::exportedOrderList({ { "261207", "1043", "1042", text } })).value(1).value(3), read);

    if (text.contains(u'\r'))
        return; // the register cannot store a line break, so the import refuses it
    const core::CsvFile csv = core::readCsv(exported);
    const core::PriceListPlan plan = core::planPriceList(csv, core::guessColumns(csv, core::priceListFields()),
                                                         core::PriceListMode::AddAndUpdate, products);
    QCOMPARE(shown(plan.preview), QStringList { "Oförändrad 2 A-1" });
}

void TestImporting::exportsStayOutOfTheDataFolder_data()
{
    QTest::addColumn<QString>("target"); // in the program folder
    QTest::addColumn<bool>("refused");

    QTest::newRow("over the order list") << "System/Order/lista.dbf" << true;
    QTest::newRow("a new file in System") << "System/Orderlista.csv" << true;
    QTest::newRow("through a link to the Order folder") << "Order/lista.dbf" << true;
    QTest::newRow("through a link to the order list") << "lista.csv" << true;
    QTest::newRow("beside System") << "Orderlista.csv" << false;
}

void TestImporting::exportsStayOutOfTheDataFolder()
{
    QFETCH(QString, target);
    QFETCH(bool, refused);
    TestDataFolder folder;
    const QByteArray list = "\"261207\",\"1043\",\"1042\",\"Bergstr\xF6m\"\r\n";
    folder.write("Order/lista.dbf", list);
    const QString program = folder.programFolder() + u'/';
    QVERIFY(QFile::link(folder.path("Order"), program + "Order"));
    QVERIFY(QFile::link(folder.path("Order/lista.dbf"), program + "lista.csv"));

    const std::optional<datafiles::Failure> failure
        = core::exportTo(folder.data(), core::ExportKind::OrderList, program + target);
    QCOMPARE(bool(failure), refused);
    if (refused) {
        QCOMPARE(failure->kind, datafiles::FailureKind::RefusedByRule);
        QVERIFY2(failure->reason.contains("datamappen System"), qPrintable(failure->reason));
    }
    QCOMPARE(folder.read("Order/lista.dbf"), list);
    QVERIFY(!folder.exists("Orderlista.csv"));
}

void TestImporting::failedCustomerImportLeavesNothing_data()
{
    QTest::addColumn<bool>("fullDisk"); // or a folder where the last new customer's file goes

    QTest::newRow("the disk full after a few files") << true;
}

void TestImporting::failedCustomerImportLeavesNothing()
{
    QFETCH(bool, fullDisk);
    SmallDisk disk;
    QTemporaryDir own;
    if (fullDisk)
        SKIP_IF_UNAVAILABLE(disk.mount());
    const datafiles::DataDirectory data(fullDisk ? disk.path() : own.path());
    QVERIFY(QDir().mkpath(data.customerFolder()));
    QVERIFY(!datafiles::replaceFile(*data.customerFile("1042"), customerBytes));
    // An earlier import, whose undoing a failed one keeps where it can.
    const core::Customer earlier { "3001", "Förra importen", "", "", "" };
    QVERIFY(!core::importCustomerList(data, { {}, { earlier }, { earlier.number }, {} }));

    QByteArray list = "Kundnr;Namn\n1042;Bergström Bygg\n";
    for (int n = 2001; n <= 2050; ++n)
        list += QByteArray::number(n) + ";Ny kund " + QByteArray::number(n) + "\n";
    const core::CsvFile csv = core::readCsv(list);
    const core::CustomerListPlan plan = core::planCustomerList(csv, core::guessColumns(csv, core::customerListFields()),
                                                               core::readCustomers(data).customers);
    QCOMPARE(plan.written.size(), 51);
    QMap<QString, QByteArray> before = contentsOf(data.systemFolder());
    if (fullDisk)
        QVERIFY(disk.fill(10 * 4096));
    else
        QVERIFY(QDir().mkdir(*data.customerFile("2050")));

    const std::optional<datafiles::Failure> failure = core::importCustomerList(data, plan);
    QVERIFY(failure);
    QVERIFY2(failure->reason.contains(fullDisk ? "disken är full" : "importen är ångrad"), qPrintable(failure->reason));
    QVERIFY2(failure->reason.contains(fullDisk ? "ingen kund har importerats" : "kundfilerna är som före den"),
             qPrintable(failure->reason));
    disk.free();
    QMap<QString, QByteArray> after = contentsOf(data.systemFolder());
    if (fullDisk) {
        QCOMPARE(after, before);
        QVERIFY(!core::undoCustomerList(data));
        QVERIFY(!QFile::exists(*data.customerFile("3001")));
    } else {
        // The folder in the way stays; undoing the import took its copies.
        QCOMPARE(after.take("Customer/2050.GetInfo.dbf"), QByteArray("<mapp>"));
        for (const QString& gone : { "Customer.före-import", "Customer.före-import/tillagda.txt" })
            before.remove(gone);
        QCOMPARE(after, before);
    }
}

QTEST_GUILESS_MAIN(TestImporting)
#include "tst_importing.moc"
