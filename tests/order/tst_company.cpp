// The business's own details: what is accepted, the form it is stored in,
// and the file's bytes.

#include "order/company.h"
#include "support/datafolder.h"

#include <QTest>

class TestCompany : public QObject
{
    Q_OBJECT

private slots:
    void check_data();
    void check();
    void fileBytes();
    void nextOrderNumber_data();
    void nextOrderNumber();
};

using Field = QString core::Company::*;
Q_DECLARE_METATYPE(Field)

void TestCompany::check_data()
{
    QTest::addColumn<Field>("field");
    // What is typed, how it is stored (empty: refused), and a part of the refusal.
    QTest::addColumn<QStringList>("texts");

    const Field org = &core::Company::organisationNumber;
    const Field vat = &core::Company::vatNumber;
    const Field bg = &core::Company::bankgiro;
    const Field pg = &core::Company::plusgiro;
    const Field mail = &core::Company::email;
    QTest::newRow("org, with a dash") << org << QStringList { " 556677-8899 ", "556677-8899", "" };
    QTest::newRow("org, digits only") << org << QStringList { "5566778899", "556677-8899", "" };
    QTest::newRow("org, wrong check digit")
        << org << QStringList { "556677-8898", "", "Organisationsnummer: kontroll" };
    QTest::newRow("org, nine digits") << org << QStringList { "55667-8899", "", "Organisationsnummer: ska vara tio" };
    QTest::newRow("org, dash misplaced") << org
                                         << QStringList { "55667-78899", "", "Organisationsnummer: ska vara tio" };
    QTest::newRow("vat, blanks and small letters") << vat << QStringList { "se 5566778899 01", "SE556677889901", "" };
    QTest::newRow("vat, not the org number")
        << vat << QStringList { "SE556677889701", "", "ska innehålla organisationsnumret" };
    QTest::newRow("vat, without 01") << vat
                                     << QStringList { "SE5566778899", "", "Momsregistreringsnummer: ska vara SE" };
    QTest::newRow("vat, another country") << vat << QStringList { "DK556677889901", "", "Momsregistreringsnummer" };
    QTest::newRow("bankgiro, seven") << bg << QStringList { "1234566", "123-4566", "" };
    QTest::newRow("bankgiro, eight") << bg << QStringList { "5050-1055", "5050-1055", "" };
    QTest::newRow("bankgiro, wrong check digit") << bg << QStringList { "5050-1056", "", "Bankgiro: ska vara" };
    QTest::newRow("bankgiro, six") << bg << QStringList { "12-3455", "", "Bankgiro: ska vara" };
    QTest::newRow("plusgiro") << pg << QStringList { "123455", "12345-5", "" };
    QTest::newRow("plusgiro, wrong check digit") << pg << QStringList { "12345-6", "", "Plusgiro: ska vara" };
    QTest::newRow("e-mail") << mail << QStringList { "order@jarnhandeln.se", "order@jarnhandeln.se", "" };
    QTest::newRow("e-mail without @") << mail
                                      << QStringList { "jarnhandeln.se", "", "E-post: en e-postadress har ett @" };
    QTest::newRow("e-mail, nothing after @")
        << mail << QStringList { "order@", "", "E-post: en e-postadress har ett namn" };
    QTest::newRow("e-mail, two @") << mail << QStringList { "a@b@c", "", "E-post: en e-postadress har ett namn" };
    QTest::newRow("e-mail, a blank") << mail << QStringList { "or der@b.se", "", "inga blanksteg" };
    QTest::newRow("name with a quote") << Field(&core::Company::name) << QStringList { "Järn \"AB\"", "", "Namn: " };
    QTest::newRow("address outside Windows-1252")
        << Field(&core::Company::address) << QStringList { "Väg ≥ 3", "", "Adress: " };
}

void TestCompany::check()
{
    QFETCH(Field, field);
    QFETCH(QStringList, texts);
    const QString &typed = texts.at(0), &stored = texts.at(1), &reason = texts.at(2);
    core::Company company;
    company.*field = typed;
    if (field == &core::Company::vatNumber)
        company.organisationNumber = QStringLiteral("556677-8899");
    const core::CompanyChecked checked = core::checkCompany(company);
    if (stored.isEmpty()) {
        QVERIFY(checked.refused);
        QVERIFY2(checked.refused->reason.contains(reason), qPrintable(checked.refused->reason));
        QVERIFY(checked.refused->is(datafiles::FailureKind::RefusedByRule));
    } else {
        QVERIFY2(!checked.refused, qPrintable(checked.refused ? checked.refused->reason : QString()));
        QCOMPARE(checked.company.*field, stored);
    }
}

// A first save writes a record a detail; a later one replaces only the
// changed details, and a record the program does not know keeps its bytes.
void TestCompany::fileBytes()
{
    TestDataFolder folder;
    const datafiles::DataDirectory data = folder.data();
    QCOMPARE(core::readCompany(data).company, core::Company());

    core::Company company;
    company.name = QStringLiteral("Järnhandeln AB");
    company.organisationNumber = QStringLiteral("5566778899");
    company.fTax = true;
    const core::RegisterSaved first = core::saveCompany(data, core::readCompany(data).records, company);
    QVERIFY2(!first.failure, qPrintable(first.failure ? first.failure->reason : QString()));
    QCOMPARE(folder.read("Registret/Företaget.dbf"),
             QByteArray("\"Namn\",\"J\xe4rnhandeln AB\"\r\n\"Organisationsnummer\",\"556677-8899\"\r\n"
                        "\"F-skatt\",\"Ja\"\r\n"));

    folder.write("Registret/Företaget.dbf",
                 "\"Namn\", \"J\xe4rnhandeln AB\"\r\n\"Fax\",\"08-1234\"\r\n\"F-skatt\",\"Ja\"\r\n");
    core::CompanyRead read = core::readCompany(data);
    QCOMPARE(read.company.name, QStringLiteral("Järnhandeln AB"));
    QVERIFY(read.company.fTax);
    company = read.company;
    company.fTax = false;
    company.phone = QStringLiteral("08-123 45");
    QVERIFY(!core::saveCompany(data, read.records, company).failure);
    QCOMPARE(folder.read("Registret/Företaget.dbf"),
             QByteArray("\"Namn\", \"J\xe4rnhandeln AB\"\r\n\"Fax\",\"08-1234\"\r\n\"F-skatt\",\"Nej\"\r\n"
                        "\"Telefon\",\"08-123 45\"\r\n"));

    company.email = QStringLiteral("ingen adress");
    QVERIFY(core::saveCompany(data, core::readCompany(data).records, company).failure);
    QVERIFY(!folder.read("Registret/Företaget.dbf").contains("ingen"));
}

void TestCompany::nextOrderNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("recorded"); // the order-number file after; empty: refused
    QTest::newRow("above the list's highest") << "126" << QByteArray("125\r\n");
    QTest::newRow("far above") << " 1000 " << QByteArray("999\r\n");
    QTest::newRow("the list's highest") << "125" << QByteArray();
    QTest::newRow("above the recorded, below the list's") << "122" << QByteArray();
    QTest::newRow("the recorded one") << "120" << QByteArray();
    QTest::newRow("zero") << "0" << QByteArray();
    QTest::newRow("no number") << "12a" << QByteArray();
}

// The order-number file holds 120; the order list has 125, printed by hand
// past the file.
void TestCompany::nextOrderNumber()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, recorded);
    TestDataFolder folder;
    folder.write("Registret/OrderNr.dbf", "120\r\n");
    folder.write("Order/lista.dbf", "\"060315\",\"125\",\"1001\",\"Berg\"\r\n\"060316\",\"119\",\"1\",\"K\"\r\n");
    const std::optional<datafiles::Failure> refused = core::setNextOrderNumber(folder.data(), typed);
    if (recorded.isEmpty()) {
        QVERIFY(refused && refused->is(datafiles::FailureKind::RefusedByRule));
        QVERIFY2(refused->reason.startsWith(QStringLiteral("Nästa ordernummer: ")), qPrintable(refused->reason));
        QCOMPARE(folder.read("Registret/OrderNr.dbf"), QByteArray("120\r\n"));
    } else {
        QVERIFY2(!refused, qPrintable(refused ? refused->reason : QString()));
        QCOMPARE(folder.read("Registret/OrderNr.dbf"), recorded);
    }
}

QTEST_GUILESS_MAIN(TestCompany)
#include "tst_company.moc"
