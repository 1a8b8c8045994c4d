#include "printingtestsupport.h"

#include <QTest>

using printing::Destinations;
using printing::PageStep;

namespace {

// A printer that cannot start the job.
class DeadPrinter : public printing::RecordingPage
{
public:
    using RecordingPage::RecordingPage;

protected:
    bool startDocument() override { return false; }
};

const QByteArray crlf("\r\n");

} // namespace

class TestPrintCommand : public QObject
{
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void imagesAtTheirOwnSize();
    void tableUnderTheHead();
    void emptyCustomerPrintsCaptionAlone();
    void printerAndCopyGetTheSameDocument();
    void archiveFiles_data();
    void archiveFiles();
    void printingTwiceArchivesTwice();
    void quoteInNameCannotBreakTheOrderList();
    void confirmation_data();
    void confirmation();
    void failureBeforeTheArchiveArchivesNothing_data();
    void failureBeforeTheArchiveArchivesNothing();
    void failureInsideTheArchiveKeepsEarlierFiles();
};

void TestPrintCommand::layout_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("size");
    QTest::addColumn<bool>("bold");

    const struct
    {
        const char* text;
        double x, y, size;
        bool bold;
    } rows[] = {
        { "ORDERUNDERLAG", 8.5, 1.0, 14, false },
        { "Kundnr:  ", 1.0, 3.0, 9, false },
        { "1001", 2.5, 3.0, 9, false },
        { "Bergström Bygg AB", 1.0, 4.0, 9, false },
        { "Industrivägen 14", 1.0, 4.5, 9, false },
        { "433 38  Partille", 1.0, 5.0, 9, false },
        { "Info", 1.0, 6.5, 9, false },
        { "Leverans till bakre lastkajen", 2.5, 6.5, 9, false },
        { "Order nr", 8.0, 3.0, 9, false },
        { "124", 8.0, 3.5, 9, false },
        { "Leveransdatum", 10.0, 3.0, 9, false },
        { "060320", 10.0, 3.5, 9, false },
        { "Orderdatum", 13.0, 3.0, 9, false },
        { "060315", 13.0, 3.5, 9, false },
        { "Betalningsvillkor", 16.0, 3.0, 9, false },
        { "30 dagar netto", 16.0, 3.5, 9, false },
        { "Leveranssätt", 10.0, 4.5, 9, false },
        { "Utkört", 10.0, 5.0, 9, false },
        { "Fraktsätt", 13.0, 4.5, 9, false },
        { "Posten", 13.0, 5.0, 9, false },
        { "Reg Nr", 16.0, 4.5, 9, false },
        { "ABC123", 16.0, 5.0, 9, false },
        { "ATT BETALA", 17.0, 24.5, 10, true },
        { "Exkl moms", 1.0, 25.5, 9, false },
        { "398.00", 1.0, 26.0, 9, false },
        { "Moms %", 3.0, 25.5, 9, false },
        { "25", 3.0, 26.0, 9, false },
        { "Moms i SEK", 6.0, 25.5, 9, false },
        { "99.50", 6.0, 26.0, 9, false },
        { "Inkl moms", 17.0, 25.5, 9, false },
        { "497.50", 17.0, 26.0, 9, false },
    };
    int index = 0;
    for (const auto& row : rows) {
        QTest::addRow("%d %s", index, row.text)
            << index << QString::fromUtf8(row.text) << row.x << row.y << row.size << row.bold;
        ++index;
    }
}

void TestPrintCommand::layout()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, size);
    QFETCH(bool, bold);

    PrintedOrder p;
    p.fill(2);
    QVERIFY(p.printRecorded());

    const QList<PageStep> texts = textSteps(p.recorded.pdf);
    QVERIFY(texts.size() > index);
    const PageStep& s = texts.at(index);
    QCOMPARE(s.text, text);
    QCOMPARE(s.x, x);
    QCOMPARE(s.y, y);
    QCOMPARE(s.fontSize, size);
    QCOMPARE(s.bold, bold);
    QCOMPARE(s.page, 1);
}

void TestPrintCommand::imagesAtTheirOwnSize()
{
    PrintedOrder p;
    fillOrder(p.window);
    QVERIFY(p.printRecorded());

    QList<PageStep> images;
    for (const PageStep& s : p.recorded.pdf) {
        if (s.kind == PageStep::Kind::Image)
            images.append(s);
    }
    QCOMPARE(images.size(), 2);
    QCOMPARE(images.at(0).text, p.folder.path("Logga.gif"));
    QCOMPARE(images.at(0).x, 0.5);
    QCOMPARE(images.at(0).y, 0.5);
    // 95 x 60 pixels at 96 to the inch.
    QCOMPARE(images.at(0).imageSize, QSizeF(95 * 2.54 / 96, 60 * 2.54 / 96));
    QCOMPARE(images.at(1).text, p.folder.path("form_listview.gif"));
    QCOMPARE(images.at(1).x, 0.3);
    QCOMPARE(images.at(1).y, 7.5);
    QCOMPARE(images.at(1).imageSize, QSizeF(733 * 2.54 / 96, 631 * 2.54 / 96));
}

void TestPrintCommand::tableUnderTheHead()
{
    PrintedOrder p;
    p.fill(3);
    QVERIFY(p.printRecorded());

    const QList<PageStep> texts = textSteps(p.recorded.pdf).mid(31);
    QCOMPARE(texts.size(), 4 * 7);
    const QList<double> edges { 1, 4, 12, 13, 15, 17, 18 };
    const QStringList captions { "Artikelnr", "Benämning", "Enhet", "A-pris", "Antal", "Rab %               ",
                                 "Radsumma" };
    for (int k = 0; k < 7; ++k) {
        QCOMPARE(texts.at(k).text, captions.at(k));
        QCOMPARE(texts.at(k).x, edges.at(k));
        QCOMPARE(texts.at(k).y, 8.0);
        QCOMPARE(texts.at(k).fontSize, 9.0);
        QVERIFY(texts.at(k).bold);
    }
    for (int i = 7; i < texts.size(); ++i) {
        const int row = i / 7 - 1;
        QCOMPARE(texts.at(i).text, orderLine(row).at(i % 7));
        QCOMPARE(texts.at(i).x, edges.at(i % 7));
        QVERIFY(texts.at(i).y > texts.at(i - 7).y);
        QVERIFY(!texts.at(i).bold);
    }
    // One job: no empty page, and ending a second time sends nothing.
    QCOMPARE(countSteps(p.recorded.pdf, PageStep::Kind::NewPage), 0);
    QCOMPARE(countSteps(p.recorded.pdf, PageStep::Kind::End), 1);
    QCOMPARE(p.recorded.pdf.last().kind, PageStep::Kind::End);
}

void TestPrintCommand::emptyCustomerPrintsCaptionAlone()
{
    PrintedOrder p;
    p.window.txt_OrderNr()->setText(QStringLiteral("7"));
    QVERIFY(p.printRecorded());

    const QList<PageStep> texts = textSteps(p.recorded.pdf);
    QCOMPARE(texts.at(1).text, QStringLiteral("Kundnr:  "));
    for (int i : { 2, 3, 4, 5 })
        QCOMPARE(texts.at(i).text, QString());
    // The table's heading stands alone after the totals.
    QCOMPARE(texts.size(), 31 + 7);
}

void TestPrintCommand::printerAndCopyGetTheSameDocument()
{
    PrintedOrder p;
    p.fill(50);
    QVERIFY(p.printRecorded(true));

    QCOMPARE(p.recorded.printer.size(), p.recorded.pdf.size());
    for (int i = 0; i < p.recorded.pdf.size(); ++i) {
        QCOMPARE(p.recorded.printer.at(i).text, p.recorded.pdf.at(i).text);
        QCOMPARE(p.recorded.printer.at(i).y, p.recorded.pdf.at(i).y);
        QCOMPARE(p.recorded.printer.at(i).page, p.recorded.pdf.at(i).page);
    }
    QCOMPARE(countSteps(p.recorded.printer, PageStep::Kind::NewPage), 1);
    QCOMPARE(countSteps(p.recorded.printer, PageStep::Kind::End), 1);
    QVERIFY(p.folder.exists("Order/124.pdf"));
}

void TestPrintCommand::archiveFiles_data()
{
    QTest::addColumn<QStringList>("fields"); // order no, customer 0-3, info, Mkod
    QTest::addColumn<QByteArray>("orderNumber");
    QTest::addColumn<QByteArray>("data1");
    QTest::addColumn<QByteArray>("data2");
    QTest::addColumn<QByteArray>("list");

    QTest::newRow("whole order") << QStringList { "124", "1001", "ABC", "Storgatan 1", "123 45  Ort", "Ring", "0" }
                                 << QByteArray("124\r\n")
                                 << QByteArray("1001\r\nABC\r\nStorgatan 1\r\n123 45  Ort\r\nRing\r\n")
                                 << QByteArray("124\r\n060320\r\n060315\r\n1\r\nABC123\r\n0\r\n1\r\n0\r\n")
                                 << QByteArray("\"060315\",\"124\",\"1001\",\"ABC\"\r\n");
    QTest::newRow("empty customer") << QStringList { "124", "", "", "", "", "Ring", "0" } << QByteArray("124\r\n")
                                    << QByteArray("\r\n\r\n\r\n\r\nRing\r\n")
                                    << QByteArray("124\r\n060320\r\n060315\r\n1\r\nABC123\r\n0\r\n1\r\n0\r\n")
                                    << QByteArray("\"060315\",\"124\",\"\",\"\"\r\n");
    QTest::newRow("empty VAT code") << QStringList { "125", "1001", "ABC", "", "", "", "" } << QByteArray("125\r\n")
                                    << QByteArray("1001\r\nABC\r\n\r\n\r\n\r\n")
                                    << QByteArray("125\r\n060320\r\n060315\r\n1\r\nABC123\r\n0\r\n1\r\n\r\n")
                                    << QByteArray("\"060315\",\"125\",\"1001\",\"ABC\"\r\n");
    QTest::newRow("å ä ö as single bytes")
        << QStringList { "126", "1001", "Åkesson & Öberg, Mälardalen", "Gärdesvägen 2", "", "Höger", "0" }
        << QByteArray("126\r\n")
        << QByteArray("1001\r\n\xC5kesson & \xD6"
                      "berg, M\xE4lardalen\r\nG\xE4rdesv\xE4gen 2\r\n\r\nH\xF6ger\r\n")
        << QByteArray("126\r\n060320\r\n060315\r\n1\r\nABC123\r\n0\r\n1\r\n0\r\n")
        << QByteArray("\"060315\",\"126\",\"1001\",\"\xC5kesson & \xD6"
                      "berg, M\xE4lardalen\"\r\n");
}

void TestPrintCommand::archiveFiles()
{
    QFETCH(QStringList, fields);
    QFETCH(QByteArray, orderNumber);
    QFETCH(QByteArray, data1);
    QFETCH(QByteArray, data2);
    QFETCH(QByteArray, list);

    PrintedOrder p;
    fillOrder(p.window);
    TextBox* boxes[]
        = { p.window.txt_OrderNr(),    p.window.txt_KundField0(), p.window.txt_KundField1(), p.window.txt_KundField2(),
            p.window.txt_KundField3(), p.window.txt_Info(),       p.window.txt_Mkod() };
    for (int i = 0; i < 7; ++i)
        boxes[i]->setText(fields.at(i));
    QVERIFY(p.printRecorded());

    const QString nr = fields.at(0);
    QCOMPARE(p.folder.read("Registret/OrderNr.dbf"), orderNumber);
    QCOMPARE(p.folder.read("Order/" + nr + "_data1.dbf"), data1);
    QCOMPARE(p.folder.read("Order/" + nr + "_data2.dbf"), data2);
    QCOMPARE(p.folder.read("Order/lista.dbf"), list);
    QCOMPARE(p.boxes.shown.size(), 1);
    QCOMPARE(p.boxes.shown.at(0).icon, MessageBox::Icon::Information);
}

void TestPrintCommand::printingTwiceArchivesTwice()
{
    PrintedOrder p;
    fillOrder(p.window);
    p.folder.write("Order/lista.dbf", "\"060314\",\"123\",\"1002\",\"Annan kund\"\r\n");
    QVERIFY(p.printRecorded());
    p.window.txt_KundField3()->setText(QStringLiteral("Ny ort"));
    QVERIFY(p.printRecorded());

    const QByteArray line("\"060315\",\"124\",\"1001\",\"Bergstr\xF6m Bygg AB\"\r\n");
    QCOMPARE(p.folder.read("Order/lista.dbf"), "\"060314\",\"123\",\"1002\",\"Annan kund\"\r\n" + line + line);
    QCOMPARE(p.folder.read("Order/124_data1.dbf"),
             QByteArray("1001\r\nBergstr\xF6m Bygg AB\r\nIndustriv\xE4gen 14\r\nNy ort\r\n"
                        "Leverans till bakre lastkajen\r\n"));
    QCOMPARE(p.folder.read("Registret/OrderNr.dbf"), QByteArray("124\r\n"));
    QCOMPARE(p.boxes.shown.size(), 2);
}

void TestPrintCommand::quoteInNameCannotBreakTheOrderList()
{
    PrintedOrder p;
    fillOrder(p.window);
    p.window.txt_KundField1()->setText(QStringLiteral("Bygg \"Nya\" AB, Lund"));
    QVERIFY(p.printRecorded());

    QCOMPARE(p.folder.read("Order/lista.dbf"), QByteArray("\"060315\",\"124\",\"1001\",\"Bygg 'Nya' AB, Lund\"\r\n"));
    // The archive keeps the name as typed: it is one value a line.
    QCOMPARE(p.folder.read("Order/124_data1.dbf").split('\n').at(1), QByteArray("Bygg \"Nya\" AB, Lund\r"));
}

void TestPrintCommand::confirmation_data()
{
    QTest::addColumn<bool>("withPrinter");
    QTest::newRow("printed") << true;
    QTest::newRow("no printer: the copy is the output") << false;
}

void TestPrintCommand::confirmation()
{
    QFETCH(bool, withPrinter);

    PrintedOrder p;
    fillOrder(p.window);
    QVERIFY(p.printRecorded(withPrinter));

    QCOMPARE(p.boxes.shown.size(), 1);
    const MessageBox::Shown& box = p.boxes.shown.at(0);
    QCOMPARE(box.icon, MessageBox::Icon::Information);
    QCOMPARE(box.title, QStringLiteral("Utskrift pågår..."));
    QString expected = QStringLiteral("Ordernummer: 124\r\n\r\nBergström Bygg AB\r\nIndustrivägen 14\r\n"
                                      "433 38  Partille\r\n\r\nUtskrift pågår...                             ");
    if (!withPrinter)
        expected += QStringLiteral("\r\nIngen skrivare finns: ordern är sparad som ") + p.folder.path("Order/124.pdf");
    QCOMPARE(box.text, expected);
}

void TestPrintCommand::failureBeforeTheArchiveArchivesNothing_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("namedFile");
    QTest::newRow("logo missing") << "Logga.gif"
                                  << "Logga.gif";
    QTest::newRow("table frame missing") << "form_listview.gif"
                                         << "form_listview.gif";
    QTest::newRow("printer fails") << "printer"
                                   << "";
    QTest::newRow("order folder missing") << "Order"
                                          << "124.pdf";
    QTest::newRow("order number names no file") << "number"
                                                << "";
}

void TestPrintCommand::failureBeforeTheArchiveArchivesNothing()
{
    QFETCH(QString, cause);
    QFETCH(QString, namedFile);

    PrintedOrder p;
    fillOrder(p.window);
    p.folder.write("Registret/OrderNr.dbf", "123\r\n");
    Destinations d = p.recorded.destinations(true);
    if (cause == "printer")
        d.printer = [&p](const QString&) {
            return std::make_unique<DeadPrinter>(p.recorded.printer);
        };
    else if (cause == "number")
        p.window.txt_OrderNr()->setText(QStringLiteral("../124"));
    else
        p.folder.remove(cause);
    QVERIFY(p.print(d));

    QCOMPARE(p.boxes.shown.size(), 1);
    QCOMPARE(p.boxes.shown.at(0).icon, MessageBox::Icon::Critical);
    QVERIFY2(p.boxes.shown.at(0).text.contains(namedFile), qPrintable(p.boxes.shown.at(0).text));
    QCOMPARE(p.folder.read("Registret/OrderNr.dbf"), QByteArray("123\r\n"));
    QVERIFY(!p.folder.exists("Order/124_data1.dbf"));
    QVERIFY(!p.folder.exists("Order/124_data2.dbf"));
    QVERIFY(!p.folder.exists("Order/lista.dbf"));
    QVERIFY(!p.folder.exists("Order/124.pdf"));
    // Nothing went to the printer when the copy could not be drawn.
    if (cause != "printer")
        QCOMPARE(countSteps(p.recorded.printer, PageStep::Kind::End), 0);
}

void TestPrintCommand::failureInsideTheArchiveKeepsEarlierFiles()
{
    PrintedOrder p;
    fillOrder(p.window);
    p.folder.write("Order/124_data2.dbf", "old\r\n");
    // A folder where the order-head file belongs cannot be replaced.
    p.folder.remove("Order/124_data2.dbf");
    QDir().mkpath(p.folder.path("Order/124_data2.dbf"));
    QVERIFY(p.printRecorded());

    QCOMPARE(p.folder.read("Registret/OrderNr.dbf"), QByteArray("124\r\n"));
    QVERIFY(p.folder.exists("Order/124_data1.dbf"));
    QVERIFY(!p.folder.exists("Order/lista.dbf"));
    QCOMPARE(p.boxes.shown.size(), 1);
    QCOMPARE(p.boxes.shown.at(0).icon, MessageBox::Icon::Critical);
    QVERIFY(p.boxes.shown.at(0).text.contains("124_data2.dbf"));
}

QTEST_MAIN(TestPrintCommand)
#include "tst_printcommand.moc"
