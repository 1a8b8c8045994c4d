// The wording of the payment-terms, delivery and freight codes on the printed order.

#include "orderwindow/frmmain.h"
#include "orderwindow/textbox.h"
#include "pickers/registerpicker.h"
#include "retrieval/messagebox.h"
#include "support/testsupport.h"

#include <QLabel>
#include <QTest>

namespace {

const QByteArray paymentTerms("\"0\",\"Kontant vid leverans\"\r\n"
                              "\"1\",\"30 dagar netto\"\r\n"
                              "\"10\",\"10 dagar netto\"\r\n"
                              "\"A\",\"F\xF6rskott\"\r\n");
const QByteArray deliveryMethods("\"0\",\"H\xE4mtas i butik\"\r\n"
                                 "\"3\",\"Avh\xE4mtas av kund p\xE5 lager\"\r\n"
                                 "\"5\",\"F\xF6rsta\"\r\n"
                                 "\"5\",\"Andra\"\r\n");
const QByteArray freightMethods("\"3\",\"Annan\"\r\n"
                                "\"4\",\"Schenker Privpak\"\r\n"
                                "\"7\",\"Egen bil\"\r\n");

struct Code
{
    TextBox* box;
    QLabel* label;
};

Code codeOf(const FrmMain& window, const QString& which)
{
    if (which == "Betk")
        return {window.txt_Betk(), window.lbl_bet()};
    if (which == "LevS")
        return {window.txt_LevS(), window.lbl_lev()};
    return {window.txt_Frkts(), window.lbl_frakt()};
}

void writeRegisters(const TestDataFolder& folder)
{
    folder.write("Registret/Betalningsvillkor.dbf", paymentTerms);
    folder.write("Registret/Leveranssätt.dbf", deliveryMethods);
    folder.write("Registret/Fraktsätt.dbf", freightMethods);
}

} // namespace

class TestCodeTexts : public QObject
{
    Q_OBJECT

private slots:
    void codeGivesItsWording_data();
    void codeGivesItsWording();
    void wordingFollowsEveryChange();
    void labelsEmptyUntilACodeIsSet();
    void newOrderGivesTheStandingWording();
    void registerDescription_data();
    void registerDescription();
};

void TestCodeTexts::codeGivesItsWording_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("withRegisters");
    QTest::addColumn<QString>("wording");

    // The standing wording holds whatever the register says about the same code.
    QTest::newRow("payment 0") << "Betk" << "0" << true << "Normalvillkor";
    QTest::newRow("delivery 0") << "LevS" << "0" << true << "Hämtas";
    QTest::newRow("delivery 1") << "LevS" << "1" << true << "Utkört";
    QTest::newRow("delivery 2") << "LevS" << "2" << true << "Fritt vårt lager";
    QTest::newRow("freight 0") << "Frkts" << "0" << true << "Posten";
    QTest::newRow("freight 1") << "Frkts" << "1" << true << "DHL";
    QTest::newRow("freight 2") << "Frkts" << "2" << true << "Bussgods";
    QTest::newRow("freight 3") << "Frkts" << "3" << true << "BTL/Schenker";
    QTest::newRow("standing wording without registers") << "Frkts" << "3" << false << "BTL/Schenker";

    // Any other code takes its register's description.
    QTest::newRow("payment 1 from the register") << "Betk" << "1" << true << "30 dagar netto";
    QTest::newRow("delivery 3 from the register") << "LevS" << "3" << true << "Avhämtas av kund på lager";
    QTest::newRow("freight 4 from the register") << "Frkts" << "4" << true << "Schenker Privpak";
    QTest::newRow("the first of two equal IDs") << "LevS" << "5" << true << "Första";
    QTest::newRow("the ID must match exactly: case") << "Betk" << "a" << true << "";
    QTest::newRow("upper case ID") << "Betk" << "A" << true << "Förskott";
    QTest::newRow("a longer code is no prefix match") << "Betk" << "10" << true << "10 dagar netto";
    QTest::newRow("a blank is part of the code") << "Betk" << " 1" << true << "";
    QTest::newRow("code the register lacks") << "Frkts" << "9" << true << "";
    QTest::newRow("register missing") << "Betk" << "1" << false << "";
    QTest::newRow("empty code") << "LevS" << "" << true << "";
}

void TestCodeTexts::codeGivesItsWording()
{
    QFETCH(QString, which);
    QFETCH(QString, code);
    QFETCH(bool, withRegisters);
    QFETCH(QString, wording);

    TestDataFolder folder;
    if (withRegisters)
        writeRegisters(folder);
    MessageBox::Recorder recorder;
    FrmMain window(folder.data());
    const Code c = codeOf(window, which);
    c.box->setText("x"); // a different code first, so that setting the code is a change
    c.box->setText(code);
    QCOMPARE(c.label->text(), wording);
    QVERIFY(recorder.shown.isEmpty());
}

void TestCodeTexts::wordingFollowsEveryChange()
{
    TestDataFolder folder;
    writeRegisters(folder);
    FrmMain window(folder.data());

    // Typed by the operator, as from the picker.
    QTest::keyClicks(window.txt_LevS(), "1");
    QCOMPARE(window.lbl_lev()->text(), QString("Utkört"));
    QTest::keyClick(window.txt_LevS(), Qt::Key_Backspace);
    QTest::keyClicks(window.txt_LevS(), "3");
    QCOMPARE(window.lbl_lev()->text(), QString("Avhämtas av kund på lager"));
    // A code nobody knows no longer prints the wording of the code before it.
    window.txt_LevS()->setText("8");
    QCOMPARE(window.lbl_lev()->text(), QString());

    window.txt_Betk()->setText("0");
    window.txt_Betk()->setText("1");
    QCOMPARE(window.lbl_bet()->text(), QString("30 dagar netto"));

    // The register is read when the code changes, so an edited register counts.
    folder.write("Registret/Fraktsätt.dbf", "\"7\",\"Lastbil\"\r\n");
    window.txt_Frkts()->setText("7");
    QCOMPARE(window.lbl_frakt()->text(), QString("Lastbil"));
    // The other two labels are not disturbed by a change of this code.
    QCOMPARE(window.lbl_lev()->text(), QString());
    QCOMPARE(window.lbl_bet()->text(), QString("30 dagar netto"));
}

void TestCodeTexts::labelsEmptyUntilACodeIsSet()
{
    TestDataFolder folder;
    writeRegisters(folder);
    FrmMain window(folder.data());
    QCOMPARE(window.lbl_bet()->text(), QString());
    QCOMPARE(window.lbl_lev()->text(), QString());
    QCOMPARE(window.lbl_frakt()->text(), QString());
}

void TestCodeTexts::newOrderGivesTheStandingWording()
{
    TestDataFolder folder;
    writeRegisters(folder);
    folder.write("Registret/OrderNr.dbf", "1041\r\n");
    FrmMain window(folder.data());
    window.txt_Betk()->setText("1");
    window.mnuNy_Click();
    QCOMPARE(window.lbl_bet()->text(), QString("Normalvillkor"));
    QCOMPARE(window.lbl_lev()->text(), QString("Hämtas"));
    QCOMPARE(window.lbl_frakt()->text(), QString("Posten"));
}

void TestCodeTexts::registerDescription_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("description");
    QTest::addColumn<bool>("found");

    QTest::newRow("unquoted fields") << QByteArray("1,  Kontant\r\n2,Kort\r\n") << "2" << "Kort" << true;
    QTest::newRow("comma inside quotes") << QByteArray("\"1\",\"Netto, 30 dagar\"\r\n") << "1" << "Netto, 30 dagar"
                                         << true;
    QTest::newRow("empty description") << QByteArray("\"1\",\"\"\r\n") << "1" << "" << true;
    // Records are two fields, wherever the lines end.
    QTest::newRow("a line of three fields shifts the rest")
        << QByteArray("\"1\",\"A\",\"2\"\r\n\"B\",\"3\",\"C\"\r\n") << "2" << "B" << true;
    QTest::newRow("a shifted description is no ID")
        << QByteArray("\"1\",\"A\",\"2\"\r\n\"B\",\"3\",\"C\"\r\n") << "B" << "" << false;
    QTest::newRow("the description is no ID") << QByteArray("\"1\",\"2\"\r\n") << "2" << "" << false;
    QTest::newRow("a last record without description")
        << QByteArray("\"1\",\"A\"\r\n\"2\"\r\n") << "2" << "" << false;
    QTest::newRow("empty register") << QByteArray() << "1" << "" << false;
}

void TestCodeTexts::registerDescription()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, code);
    QFETCH(QString, description);
    QFETCH(bool, found);

    const std::optional<QString> result = ::registerDescription(bytes, code);
    QCOMPARE(result.has_value(), found);
    QCOMPARE(result.value_or(QString()), description);
}

QTEST_MAIN(TestCodeTexts)
#include "tst_codetexts.moc"
