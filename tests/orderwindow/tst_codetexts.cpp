// The wording of the payment-terms, delivery and freight codes on the printed order.

#include "orderwindow/frmmain.h"
#include "orderwindow/textbox.h"
#include "pickers/registerpicker.h"
#include "support/testsupport.h"

#include <QLabel>
#include <QTest>

class TestCodeTexts : public QObject
{
    Q_OBJECT

private slots:
    void codeGivesItsWording_data();
    void codeGivesItsWording();
    void registerDescription_data();
    void registerDescription();
};

void TestCodeTexts::codeGivesItsWording_data()
{
    QTest::addColumn<int>("box"); // 0 payment terms, 1 delivery, 2 freight
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("withRegisters");
    QTest::addColumn<QString>("wording");

    // The standing wording holds whatever the register says about the same code.
    QTest::newRow("payment 0") << 0 << "0" << true << "Normalvillkor";
    QTest::newRow("delivery 2") << 1 << "2" << true << "Fritt vårt lager";
    QTest::newRow("freight 3") << 2 << "3" << true << "BTL/Schenker";
    QTest::newRow("freight 1 without registers") << 2 << "1" << false << "DHL";
    // Any other code prints as its register describes it, or not at all.
    QTest::newRow("payment 1") << 0 << "1" << true << "30 dagar netto";
    QTest::newRow("delivery 3") << 1 << "3" << true << "Avhämtas av kund på lager";
    QTest::newRow("freight 4") << 2 << "4" << true << "Schenker Privpak";
    QTest::newRow("code the register lacks") << 2 << "9" << true << "";
    QTest::newRow("register missing") << 0 << "1" << false << "";
    QTest::newRow("empty code") << 1 << "" << true << "";
}

void TestCodeTexts::codeGivesItsWording()
{
    QFETCH(int, box);
    QFETCH(QString, code);
    QFETCH(bool, withRegisters);
    QFETCH(QString, wording);

    TestDataFolder folder;
    if (withRegisters) {
        folder.write("Registret/Betalningsvillkor.dbf", "\"0\",\"Kontant\"\r\n\"1\",\"30 dagar netto\"\r\n");
        folder.write("Registret/Leveranssätt.dbf", "\"2\",\"Annat\"\r\n\"3\",\"Avh\xE4mtas av kund p\xE5 lager\"\r\n");
        folder.write("Registret/Fraktsätt.dbf", "\"3\",\"Annan\"\r\n\"4\",\"Schenker Privpak\"\r\n");
    }
    FrmMain window(folder.data());
    const QList<TextBox*> boxes { window.txt_Betk(), window.txt_LevS(), window.txt_Frkts() };
    const QList<QLabel*> labels { window.lbl_bet(), window.lbl_lev(), window.lbl_frakt() };
    for (QLabel* label : labels)
        QCOMPARE(label->text(), QString());

    // Another code with wording first: a code without any must not keep it.
    boxes[box]->setText("0");
    boxes[box]->setText(code);
    QCOMPARE(labels[box]->text(), wording);
    for (int other = 0; other < 3; ++other)
        QCOMPARE(labels[other]->text().isEmpty(), other != box || wording.isEmpty());
}

void TestCodeTexts::registerDescription_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("description"); // a null text: no such ID

    const QByteArray rows("\"10\",\"Tio\"\r\n\"1\",\"Ett\"\r\n\"A\",\"Stort A\"\r\n\"1\",\"Ett igen\"\r\n");
    QTest::newRow("exact, not a prefix") << rows << "1"
                                         << "Ett";
    QTest::newRow("the longer ID") << rows << "10"
                                   << "Tio";
    QTest::newRow("letter case counts") << rows << "a" << QString();
    QTest::newRow("a blank counts") << rows << " 1" << QString();
    QTest::newRow("unquoted fields, comma quoted") << QByteArray("1,  \"Netto, 30\"\r\n") << "1"
                                                   << "Netto, 30";
    // Records are two fields, wherever the lines end.
    QTest::newRow("three fields on a line shift the rest")
        << QByteArray("\"1\",\"A\",\"2\"\r\n\"B\",\"3\",\"C\"\r\n") << "2"
        << "B";
    QTest::newRow("a last record without description") << QByteArray("\"1\",\"A\"\r\n\"2\"\r\n") << "2" << QString();
}

void TestCodeTexts::registerDescription()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, code);
    QFETCH(QString, description);

    const std::optional<QString> found = ::registerDescription(bytes, code);
    QCOMPARE(found.has_value(), !description.isNull());
    QCOMPARE(found.value_or(QString()), description);
}

QTEST_MAIN(TestCodeTexts)
#include "tst_codetexts.moc"
