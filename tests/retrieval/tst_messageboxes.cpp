// Every message box the operator can meet in ordinary work, with its icon, its
// title and its words, reached the way the operator reaches it.

#include "../printing/printingtestsupport.h"

#include "pickers/frmaddproduct.h"
#include "retrieval/messagebox.h"

#include <QPushButton>

class TestMessageBoxes : public QObject
{
    Q_OBJECT

private slots:
    void theBoxesOfTheProgram();
};

void TestMessageBoxes::theBoxesOfTheProgram()
{
    PrintingFolder folder;
    folder.write("Registret/Produkter.dbf", "\"ABC-1\",\"Skruv, tr\xE4\",\"st\",\"9.99\"\r\n");
    MessageBox::Recorder boxes;
    RecordedDestinations recorded;
    printing::Destinations::Override paper(recorded.destinations(true));
    FrmMain window(folder.data());
    QVERIFY(showActive(window));
    fillOrder(window);

    // The product search without a match: no icon, the program's title.
    window.mnuVisa_Produkter_Click();
    FrmAddProduct* picker = visibleWindow<FrmAddProduct>();
    QVERIFY(picker);
    QTest::keyClicks(picker->Text1(), QStringLiteral("zz"));
    QTest::keyClick(picker->Text1(), Qt::Key_Return);

    // The product line that cannot be added, and the lines that cannot be
    // removed, once the order folder is gone.
    folder.remove("Order");
    QTest::mouseClick(picker->Command1(), Qt::LeftButton);
    picker->close();
    window.ListView1()->reportModel()->appendRow(orderLine(0));
    window.ListView1()->selectRowWithoutScrolling(0);
    window.RemoveSelectedLines();

    // The confirmation once the order is printed and archived.
    QDir(folder.path(QString())).mkpath(QStringLiteral("Order"));
    window.ListView1()->reportModel()->appendRow(orderLine(1));
    QTest::keyClick(&window, Qt::Key_F9);

    const QString confirmation = QStringLiteral("Ordernummer: 124\r\n\r\nBergström Bygg AB\r\nIndustrivägen 14\r\n"
                                                "433 38  Partille\r\n\r\nUtskrift pågår...")
        + QString(29, QLatin1Char(' '));
    using Icon = MessageBox::Icon;
    const QList<std::tuple<Icon, QString, QString>> expected {
        { Icon::None, "Orderregistrering", "Listposten hittades inte!" },
        { Icon::Critical, "Felmeddelande", "Det blev något fel\r\nError: 1001,06" },
        { Icon::Critical, "Felmeddelande", "Det blev något fel\r\nError: 1033,87" },
        { Icon::Information, "Utskrift pågår...", confirmation },
    };
    QCOMPARE(boxes.shown.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QCOMPARE(boxes.shown.at(i).icon, std::get<0>(expected.at(i)));
        QCOMPARE(boxes.shown.at(i).title, std::get<1>(expected.at(i)));
        QCOMPARE(boxes.shown.at(i).text, std::get<2>(expected.at(i)));
    }
}

QTEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
