// The delivery note: the order form's page without a price, drawn through the
// recorder, and "Arkiv → Skriv följesedel" from the order window to its kept
// PDF, which registers nothing.

#include "printingtestsupport.h"

#include "order/registers.h"
#include "printing/orderdocument.h"

#include <QTest>

using printing::PageStep;

namespace {

// What the delivery note must never show: the price columns, the totals and
// the sample lines' price and amount.
const QStringList priceTexts { "A-pris", "Rab %",      "Radsumma",  "ATT BETALA", "Exkl moms",
                               "Moms %", "Moms i SEK", "Inkl moms", "99.50",      "199.00" };

} // namespace

class TestDeliveryNote : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pageWithoutPrices();
    void orderWindowKeepsACopyAndRegistersNothing();
};

void TestDeliveryNote::initTestCase()
{
    // No print server answers here: this machine has no printer.
    qputenv("CUPS_SERVER", "127.0.0.1:9");
}

void TestDeliveryNote::pageWithoutPrices()
{
    TestDataFolder folder;
    putFormFiles(folder);
    folder.write(
        "Registret/Företaget.dbf",
        "\"Namn\",\"J\xe4rnhandeln AB\"\r\n\"Adress\",\"Storgatan 1\"\r\n\"Organisationsnummer\",\"556677-8899\"\r\n");
    QList<PageStep> steps;
    double rowHeight = 0;
    {
        printing::RecordingPage page(steps);
        page.setFontSize(9);
        rowHeight = page.lineHeight();
        const core::CodeWording wording(folder.data());
        QVERIFY(printing::printOrderDocument(page, sampleOrder(120), printing::designedOrderLineColumns(), wording,
                                             folder.data(), printing::OrderDocument::DeliveryNote));
    }
    const QList<PageStep> texts = textSteps(steps);
    QCOMPARE(texts.first().text, QStringLiteral("FÖLJESEDEL"));
    QCOMPARE(QPointF(texts.first().x, texts.first().y), QPointF(8.5, 1.0));
    // The sender between the title and the head.
    QStringList sender;
    for (const PageStep& step : texts) {
        if (step.x == 8.5 && step.y > 1.0 && step.y < 3.0)
            sender.append(step.text);
    }
    QCOMPARE(sender, (QStringList { "Järnhandeln AB", "Storgatan 1", "Org.nr 556677-8899" }));
    QCOMPARE(countSteps(steps, PageStep::Kind::Image), 1); // the logo; the form's table frame is not drawn
    for (const PageStep& step : texts) {
        for (const QString& price : priceTexts)
            QVERIFY2(!step.text.startsWith(price), qPrintable(step.text));
    }

    // 120 lines take three pages, each under the heading at 8 cm, and every
    // row stays above the signature at the foot.
    QCOMPARE(countSteps(steps, PageStep::Kind::NewPage), 2);
    QList<QStringList> headings;
    QStringList heading;
    int rows = 0;
    for (const PageStep& step : texts) {
        if (step.bold && step.y == 8.0) {
            heading.append(step.text);
            if (heading.size() == 5) {
                headings.append(heading);
                heading.clear();
            }
        } else if (step.text.startsWith(QLatin1String("TS35-"))) {
            ++rows;
            QVERIFY(step.y + rowHeight <= printing::totalsTop);
        }
    }
    const QStringList captions { "Artikelnr", "Benämning", "Enhet", "Antal", "Levererat" };
    QCOMPARE(headings, (QList<QStringList> { captions, captions, captions }));
    QCOMPARE(rows, 120);
    QCOMPARE(texts.at(texts.size() - 4).text, QStringLiteral("Mottaget av"));
    QCOMPARE(texts.at(texts.size() - 2).text, QStringLiteral("Datum"));
    QCOMPARE(texts.at(texts.size() - 2).page, 3);
    QCOMPARE(texts.at(texts.size() - 2).y, 25.5);
    QCOMPARE(steps.last().kind, PageStep::Kind::End);
}

void TestDeliveryNote::orderWindowKeepsACopyAndRegistersNothing()
{
    PrintedOrder desk;
    desk.show(3);
    {
        printing::Destinations::Override override(pdfOnly());
        desk.choose("mnuFoljesedel");
    }
    const QString copy = desk.folder.path("Order/124_följesedel.pdf");
    QCOMPARE(desk.boxes.shown.size(), 1);
    QCOMPARE(desk.boxes.shown.first().icon, MessageBox::Icon::Information);
    QCOMPARE(desk.boxes.shown.first().text,
             QStringLiteral("Det finns ingen skrivare att skriva ut på.\r\n\r\n"
                            "PDF-kopian av följesedeln finns i\r\n")
                 + QDir::toNativeSeparators(copy));
    QStringList files = QDir(desk.folder.path("Order")).entryList(QDir::Files);
    QCOMPARE(files, QStringList { "124_följesedel.pdf" });
    QVERIFY(!desk.folder.exists("Registret/OrderNr.dbf"));

    // The copy is the note, whose page is pageWithoutPrices's.
    QString error;
    QStringList words;
    for (const PdfWord& word : pdfWords(copy, &error))
        words.append(word.text);
    QVERIFY2(error.isEmpty() && words.contains("FÖLJESEDEL") && words.contains("TS35-27"), qPrintable(error));
    for (const QString& price : priceTexts)
        QVERIFY2(!words.contains(price.section(QLatin1Char(' '), 0, 0)), qPrintable(price));
}

QTEST_MAIN(TestDeliveryNote)
#include "tst_deliverynote.moc"
