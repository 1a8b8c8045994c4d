// Enter in the customer-number box: the customer boxes take the customer's file.

#include "orderwindow/frmmain.h"
#include "orderwindow/textbox.h"
#include "retrieval/messagebox.h"
#include "support/testsupport.h"

#include <QTest>

using Files = QMap<QString, QByteArray>;

class TestCustomerLookup : public QObject
{
    Q_OBJECT

private slots:
    void enterFillsTheCustomerBoxes_data();
    void enterFillsTheCustomerBoxes();
};

void TestCustomerLookup::enterFillsTheCustomerBoxes_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<bool>("linesReadOnly");

    const QByteArray defaultCustomer("1\r\nKontantkund\r\nDisken\r\n\r\n");
    const QStringList defaultLines { "1", "Kontantkund", "Disken", "" };
    auto with = [&](const QString& number, const QByteArray& bytes) {
        return Files { { "1", defaultCustomer }, { number, bytes } };
    };

    QTest::newRow("four lines") << with("1042",
                                        "1042\r\nBergstr\xF6m Bygg AB\r\nIndustriv\xE4gen 14\r\n433 38  Partille\r\n")
                                << "1042"
                                << QStringList { "1042", "Bergström Bygg AB", "Industrivägen 14", "433 38  Partille" }
                                << true;
    QTest::newRow("two lines") << with("1042", "1042\r\nLind, Karin\r\n") << "1042"
                               << QStringList { "1042", "Lind, Karin", "", "" } << true;
    QTest::newRow("quotes kept, fifth line ignored")
        << with("8", "8\r\n\"Lind, Karin\",\"AB\"\r\nx\"y\r\nC\r\nD\r\n") << "8"
        << QStringList { "8", "\"Lind, Karin\",\"AB\"", "x\"y", "C" } << true;
    QTest::newRow("no file") << with("1042", "1042\r\n") << "9999" << defaultLines << true;
    QTest::newRow("empty number") << with("1042", "1042\r\n") << "" << defaultLines << true;
    QTest::newRow("1 stays editable") << with("1042", "1042\r\n") << "1" << defaultLines << false;
    QTest::newRow("no customer files at all") << Files {} << "9999" << QStringList { "", "", "", "" } << true;
    QTest::newRow("leading blank names another file")
        << with("1042", "1042\r\nA\r\n") << " 1042" << defaultLines << true;
    QTest::newRow("file named with the blank")
        << with(" 1042", " 1042\r\nX\r\n") << " 1042" << QStringList { " 1042", "X", "", "" } << true;
    QTest::newRow("a path names no file")
        << with("1042", "1042\r\nA\r\n") << "../Customer/1042" << defaultLines << true;
    // Both files are read into the same four slots: a line the default
    // customer's file lacks keeps what the first file gave.
    QTest::newRow("empty first line, short default file")
        << Files { { "1", "1\r\nKontantkund\r\n" }, { "5", "\r\nA\r\nB\r\nC" } } << "5"
        << QStringList { "1", "Kontantkund", "B", "C" } << true;
}

void TestCustomerLookup::enterFillsTheCustomerBoxes()
{
    QFETCH(Files, files);
    QFETCH(QString, typed);
    QFETCH(QStringList, shown);
    QFETCH(bool, linesReadOnly);

    TestDataFolder folder;
    for (auto file = files.cbegin(); file != files.cend(); ++file)
        folder.write("Customer/" + file.key() + ".GetInfo.dbf", file.value());
    MessageBox::Recorder recorder;
    FrmMain window(folder.data());
    const QList<TextBox*> lines { window.txt_KundField1(), window.txt_KundField2(), window.txt_KundField3() };

    // A lookup before this one: its texts and read-only state must all go.
    window.txt_KundField0()->setText(typed == "1" ? "" : "1");
    QTest::keyClick(window.txt_KundField0(), Qt::Key_Return);
    window.txt_KundField0()->clear();

    QTest::keyClicks(window.txt_KundField0(), typed);
    QTest::keyClick(window.txt_KundField0(), Qt::Key_Return);

    QCOMPARE((QStringList { window.txt_KundField0()->text(), lines[0]->text(), lines[1]->text(), lines[2]->text() }),
             shown);
    for (TextBox* line : lines)
        QCOMPARE(line->isReadOnly(), linesReadOnly);
    QVERIFY(recorder.shown.isEmpty());
}

QTEST_MAIN(TestCustomerLookup)
#include "tst_customerlookup.moc"
