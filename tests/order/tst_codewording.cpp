// The wording of the payment-terms, delivery and freight codes on the printed
// order: the standing wording, the register files, and when they are read.

#include "order/openorder.h"
#include "order/registers.h"
#include "support/datafolder.h"

#include <QTest>

using core::CodeRegister;
using core::CodeWording;

Q_DECLARE_METATYPE(CodeRegister)

namespace {

QString registerName(CodeRegister which)
{
    switch (which) {
    case CodeRegister::PaymentTerms:
        return QStringLiteral("Registret/Betalningsvillkor.dbf");
    case CodeRegister::DeliveryMethod:
        return QStringLiteral("Registret/Leveranssätt.dbf");
    case CodeRegister::FreightMethod:
        break;
    }
    return QStringLiteral("Registret/Fraktsätt.dbf");
}

const CodeRegister allRegisters[]
    = { CodeRegister::PaymentTerms, CodeRegister::DeliveryMethod, CodeRegister::FreightMethod };

} // namespace

class TestCodeWording : public QObject
{
    Q_OBJECT

private slots:
    void codeGivesItsWording_data();
    void codeGivesItsWording();
    void registerDescription_data();
    void registerDescription();
    void printingReadsTheRegistersAsTheyAreNow();
    void emptyCodeReadsNothing();
};

void TestCodeWording::codeGivesItsWording_data()
{
    QTest::addColumn<CodeRegister>("which");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("withRegisters");
    QTest::addColumn<QString>("wording");

    const CodeRegister payment = CodeRegister::PaymentTerms;
    const CodeRegister delivery = CodeRegister::DeliveryMethod;
    const CodeRegister freight = CodeRegister::FreightMethod;
    // The standing wording holds whatever the register says about the same code.
    QTest::newRow("payment 0") << payment << "0" << true << "Normalvillkor";
    QTest::newRow("delivery 0") << delivery << "0" << true << "Hämtas";
    QTest::newRow("delivery 1") << delivery << "1" << false << "Utkört";
    QTest::newRow("delivery 2") << delivery << "2" << true << "Fritt vårt lager";
    QTest::newRow("freight 0") << freight << "0" << false << "Posten";
    QTest::newRow("freight 1 without registers") << freight << "1" << false << "DHL";
    QTest::newRow("freight 2") << freight << "2" << true << "Bussgods";
    QTest::newRow("freight 3") << freight << "3" << true << "BTL/Schenker";
    // Any other code prints as its register describes it, or not at all.
    QTest::newRow("payment 1") << payment << "1" << true << "30 dagar netto";
    QTest::newRow("delivery 3") << delivery << "3" << true << "Avhämtas av kund på lager";
    QTest::newRow("freight 4") << freight << "4" << true << "Schenker Privpak";
    QTest::newRow("code the register lacks") << freight << "9" << true << "";
    QTest::newRow("another register's code") << payment << "4" << true << "";
    QTest::newRow("register missing") << payment << "1" << false << "";
    QTest::newRow("empty code") << delivery << "" << true << "";
}

void TestCodeWording::codeGivesItsWording()
{
    QFETCH(CodeRegister, which);
    QFETCH(QString, code);
    QFETCH(bool, withRegisters);
    QFETCH(QString, wording);

    TestDataFolder folder;
    if (withRegisters) {
        folder.write(registerName(CodeRegister::PaymentTerms), "\"0\",\"Kontant\"\r\n\"1\",\"30 dagar netto\"\r\n");
        folder.write(registerName(CodeRegister::DeliveryMethod),
                     "\"2\",\"Annat\"\r\n\"3\",\"Avh\xE4mtas av kund p\xE5 lager\"\r\n");
        folder.write(registerName(CodeRegister::FreightMethod), "\"3\",\"Annan\"\r\n\"4\",\"Schenker Privpak\"\r\n");
    }
    const CodeWording words(folder.data());

    // Another code with wording first: a code without any must not keep it.
    QVERIFY(!words.wording(which, QStringLiteral("0")).isEmpty());
    QCOMPARE(words.wording(which, code), wording);
    // Asked again, the same.
    QCOMPARE(words.wording(which, code), wording);
}

void TestCodeWording::registerDescription_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("description"); // empty: no such ID

    const QByteArray rows("\"10\",\"Tio\"\r\n\"1\",\"Ett\"\r\n\"A\",\"Stort A\"\r\n\"1\",\"Ett igen\"\r\n");
    QTest::newRow("exact, not a prefix") << rows << "1"
                                         << "Ett";
    QTest::newRow("the longer ID") << rows << "10"
                                   << "Tio";
    QTest::newRow("letter case counts") << rows << "a" << QString();
    QTest::newRow("a blank counts") << rows << " 1" << QString();
    QTest::newRow("unquoted fields, comma quoted") << QByteArray("1,  \"Netto, 30\"\r\n") << "1"
                                                   << "Netto, 30";
    QTest::newRow("Windows-1252") << QByteArray("\"5\",\"F\xF6rskott\"\r\n") << "5"
                                  << "Förskott";
    // Records are two fields, wherever the lines end.
    QTest::newRow("three fields on a line shift the rest")
        << QByteArray("\"1\",\"A\",\"2\"\r\n\"B\",\"3\",\"C\"\r\n") << "2"
        << "B";
    QTest::newRow("a last record without description") << QByteArray("\"1\",\"A\"\r\n\"2\"\r\n") << "2" << QString();
}

void TestCodeWording::registerDescription()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, code);

    TestDataFolder folder;
    folder.write(registerName(CodeRegister::PaymentTerms), bytes);
    QTEST(CodeWording(folder.data()).wording(CodeRegister::PaymentTerms, code), "description");
}

void TestCodeWording::printingReadsTheRegistersAsTheyAreNow()
{
    TestDataFolder folder;
    for (CodeRegister which : allRegisters)
        folder.write(registerName(which), "\"0\",\"Noll\"\r\n\"7\",\"Sju\"\r\n");
    core::OpenOrder desk(folder.data());
    for (CodeRegister which : allRegisters)
        QCOMPARE(desk.currentWording().wording(which, QStringLiteral("7")), QStringLiteral("Sju"));

    // A register changed while the program runs, also one that goes missing:
    // the order printed next names its codes as the registers hold them then.
    for (CodeRegister which : allRegisters)
        folder.write(registerName(which), "\"0\",\"Noll\"\r\n\"7\",\"Sjutton\"\r\n\"8\",\"\xC5tta\"\r\n");
    folder.remove(registerName(CodeRegister::FreightMethod));
    const CodeWording& now = desk.currentWording();
    QCOMPARE(now.wording(CodeRegister::PaymentTerms, QStringLiteral("7")), QStringLiteral("Sjutton"));
    QCOMPARE(now.wording(CodeRegister::DeliveryMethod, QStringLiteral("8")), QStringLiteral("Åtta"));
    QCOMPARE(now.wording(CodeRegister::FreightMethod, QStringLiteral("7")), QString());
    // The standing wording never comes from the file.
    QCOMPARE(now.wording(CodeRegister::DeliveryMethod, QStringLiteral("0")), QStringLiteral("Hämtas"));
}

void TestCodeWording::emptyCodeReadsNothing()
{
    // An empty code, or a standing one, is answered without the register: the
    // register is first read when a code needs it, so a register written after
    // them is the one read.
    TestDataFolder folder;
    const CodeWording words(folder.data());
    for (CodeRegister which : allRegisters) {
        QCOMPARE(words.wording(which, QString()), QString());
        QVERIFY(!words.wording(which, QStringLiteral("0")).isEmpty());
    }
    for (CodeRegister which : allRegisters)
        folder.write(registerName(which), "\"7\",\"Sju\"\r\n");
    for (CodeRegister which : allRegisters)
        QCOMPARE(words.wording(which, QStringLiteral("7")), QStringLiteral("Sju"));
}

QTEST_GUILESS_MAIN(TestCodeWording)
#include "tst_codewording.moc"
