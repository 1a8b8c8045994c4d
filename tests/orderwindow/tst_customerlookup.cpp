// Enter in the customer-number box: the customer boxes take the customer's file.

#include "orderwindow/frmmain.h"
#include "orderwindow/textbox.h"
#include "retrieval/messagebox.h"
#include "support/testsupport.h"

#include <QAbstractButton>
#include <QTest>

using Files = QList<std::pair<QString, QByteArray>>;

namespace {

const QByteArray defaultCustomer("1\r\nKontantkund\r\nDisken\r\n\r\n");

// The default customer's file and one customer file more.
Files withDefaultAnd(const QString& name, const QByteArray& bytes)
{
    return Files{{"1.GetInfo.dbf", defaultCustomer}, {name, bytes}};
}

} // namespace

class TestCustomerLookup : public QObject
{
    Q_OBJECT

private slots:
    void enterFillsTheCustomerBoxes_data();
    void enterFillsTheCustomerBoxes();
    void searchButtonRunsTheSameLookup();
    void laterLookupSetsTheReadOnlyStateAgain();
};

void TestCustomerLookup::enterFillsTheCustomerBoxes_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<bool>("linesReadOnly");

    const Files onlyDefault{{"1.GetInfo.dbf", defaultCustomer}};
    const QStringList defaultLines{"1", "Kontantkund", "Disken", ""};
    const QByteArray customer1042("1042\r\nA\r\nB\r\nC\r\n");

    QTest::newRow("four lines")
        << withDefaultAnd("1042.GetInfo.dbf",
                          "1042\r\nBergstr\xF6m Bygg AB\r\nIndustriv\xE4gen 14\r\n433 38  Partille\r\n")
        << "1042" << QStringList{"1042", "Bergström Bygg AB", "Industrivägen 14", "433 38  Partille"} << true;
    QTest::newRow("two lines: the rest empty") << withDefaultAnd("1042.GetInfo.dbf", "1042\r\nLind, Karin\r\n")
                                               << "1042" << QStringList{"1042", "Lind, Karin", "", ""} << true;
    QTest::newRow("lines after the fourth ignored")
        << withDefaultAnd("7.GetInfo.dbf", "7\r\nA\r\nB\r\nC\r\nD\r\nE\r\n") << "7"
        << QStringList{"7", "A", "B", "C"} << true;
    QTest::newRow("commas and quotes as stored")
        << withDefaultAnd("8.GetInfo.dbf", "8\r\n\"Lind, Karin\",\"AB\"\r\nBox 1, 2\r\nx\"y\r\n") << "8"
        << QStringList{"8", "\"Lind, Karin\",\"AB\"", "Box 1, 2", "x\"y"} << true;
    QTest::newRow("a last line without its line end") << withDefaultAnd("6.GetInfo.dbf", "6\r\nA\r\nB\r\nC") << "6"
                                                      << QStringList{"6", "A", "B", "C"} << true;
    QTest::newRow("no file: the default customer, read-only") << onlyDefault << "9999" << defaultLines << true;
    QTest::newRow("empty number: the default customer, read-only") << onlyDefault << "" << defaultLines << true;
    QTest::newRow("1: the default customer, editable") << onlyDefault << "1" << defaultLines << false;
    QTest::newRow("no customer files at all") << Files{} << "9999" << QStringList{"", "", "", ""} << true;
    QTest::newRow("a leading blank names another file")
        << withDefaultAnd("1042.GetInfo.dbf", customer1042) << " 1042" << defaultLines << true;
    QTest::newRow("the file named with the leading blank")
        << withDefaultAnd(" 1042.GetInfo.dbf", " 1042\r\nX\r\nY\r\nZ\r\n") << " 1042"
        << QStringList{" 1042", "X", "Y", "Z"} << true;
    QTest::newRow("a path names no file")
        << withDefaultAnd("1042.GetInfo.dbf", customer1042) << "../Customer/1042" << defaultLines << true;
    // The default customer's file is read into the same four slots: a line it
    // lacks keeps what the customer's own file gave.
    QTest::newRow("empty first line: the default customer over it")
        << Files{{"1.GetInfo.dbf", "1\r\nKontantkund\r\n"}, {"5.GetInfo.dbf", "\r\nA\r\nB\r\nC\r\n"}} << "5"
        << QStringList{"1", "Kontantkund", "B", "C"} << true;
    QTest::newRow("no file and a short default file")
        << Files{{"1.GetInfo.dbf", "1\r\nKontantkund\r\n"}} << "9999" << QStringList{"1", "Kontantkund", "", ""}
        << true;
}

void TestCustomerLookup::enterFillsTheCustomerBoxes()
{
    QFETCH(Files, files);
    QFETCH(QString, typed);
    QFETCH(QStringList, shown);
    QFETCH(bool, linesReadOnly);

    TestDataFolder folder;
    for (const auto& [name, bytes] : files)
        folder.write("Customer/" + name, bytes);
    MessageBox::Recorder recorder;
    FrmMain window(folder.data());

    // Earlier texts in the boxes are replaced, not added to.
    window.txt_KundField3()->setText("gammal rad");
    QTest::keyClicks(window.txt_KundField0(), typed);
    QCOMPARE(window.txt_KundField0()->text(), typed);
    QTest::keyClick(window.txt_KundField0(), Qt::Key_Return);

    const QStringList boxes{window.txt_KundField0()->text(), window.txt_KundField1()->text(),
                            window.txt_KundField2()->text(), window.txt_KundField3()->text()};
    QCOMPARE(boxes, shown);
    QCOMPARE(window.txt_KundField1()->isReadOnly(), linesReadOnly);
    QCOMPARE(window.txt_KundField2()->isReadOnly(), linesReadOnly);
    QCOMPARE(window.txt_KundField3()->isReadOnly(), linesReadOnly);
    QVERIFY(!window.txt_KundField0()->isReadOnly());
    QVERIFY(recorder.shown.isEmpty());
}

void TestCustomerLookup::searchButtonRunsTheSameLookup()
{
    TestDataFolder folder;
    folder.write("Customer/1042.GetInfo.dbf", "1042\r\nA\r\nB\r\nC\r\n");
    FrmMain window(folder.data());
    window.txt_KundField0()->setText("1042");
    auto* search = window.findChild<QAbstractButton*>("cmdGetCustomerInfo");
    QVERIFY(search);
    search->click();
    QCOMPARE(window.txt_KundField3()->text(), QString("C"));
}

void TestCustomerLookup::laterLookupSetsTheReadOnlyStateAgain()
{
    TestDataFolder folder;
    folder.write("Customer/1.GetInfo.dbf", defaultCustomer);
    folder.write("Customer/1042.GetInfo.dbf", "1042\r\nA\r\nB\r\nC\r\n");
    FrmMain window(folder.data());
    QVERIFY(!window.txt_KundField1()->isReadOnly());

    QTest::keyClicks(window.txt_KundField0(), "1042");
    QTest::keyClick(window.txt_KundField0(), Qt::Key_Return);
    QVERIFY(window.txt_KundField2()->isReadOnly());

    window.txt_KundField0()->clear();
    QTest::keyClicks(window.txt_KundField0(), "1");
    QTest::keyClick(window.txt_KundField0(), Qt::Key_Return);
    QVERIFY(!window.txt_KundField2()->isReadOnly());
    // The operator may now type into the default customer's lines.
    window.txt_KundField2()->clear();
    QTest::keyClicks(window.txt_KundField2(), "Storgatan 1");
    QCOMPARE(window.txt_KundField2()->text(), QString("Storgatan 1"));
}

QTEST_MAIN(TestCustomerLookup)
#include "tst_customerlookup.moc"
