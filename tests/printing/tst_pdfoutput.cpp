#include "printingtestsupport.h"

#include <QTest>

namespace {

// The printable area starts 5 mm in from the page's top-left corner.
constexpr double originCm = 0.5;

using Word = PdfWord;

// The words of the kept copy, in centimetres from the printable area's origin.
QList<Word> wordsOf(const QString& pdf, QString* error)
{
    QList<Word> words = pdfWords(pdf, error);
    for (Word& w : words) {
        w.xMin -= originCm;
        w.xMax -= originCm;
        w.yMin -= originCm;
        w.yMax -= originCm;
    }
    return words;
}

bool contains(const QList<Word>& words, const QString& text)
{
    return std::any_of(words.begin(), words.end(), [&](const Word& w) { return w.text == text; });
}

} // namespace

class TestPdfOutput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void itemsStandWhereTheFormPutsThem_data();
    void itemsStandWhereTheFormPutsThem();
    void longOrderContinuesOnLaterPages();
    void reprintReplacesTheCopy();
    void longTextsStayInTheirFields();

private:
    QList<Word> m_words;
    double m_glyphTop = 0; // how far below a line cell's top a word's box begins
    double m_lineHeight = 0;
};

void TestPdfOutput::initTestCase()
{
    SKIP_IF_UNAVAILABLE(notInstalled(QStringLiteral("pdftotext"), QStringLiteral("poppler-utils")));

    PrintedOrder order;
    order.show(3);
    QVERIFY(order.print(pdfOnly()));
    QCOMPARE(order.boxes.shown.size(), 1);
    QCOMPARE(order.boxes.shown.at(0).icon, MessageBox::Icon::Information);
    // The kept copy is an A4 page whatever the printer's paper.
    const QSizeF paper = pdfPageSize(order.folder.path("Order/124.pdf"));
    QVERIFY2(samePaper(paper, a4Points),
             qPrintable(QStringLiteral("%1 x %2 pt").arg(paper.width()).arg(paper.height())));
    QString error;
    m_words = wordsOf(order.folder.path("Order/124.pdf"), &error);
    QVERIFY2(!m_words.isEmpty(), qPrintable(error));

    // pdftotext boxes a word from the font's ascent above the baseline, the
    // same ascent that puts the baseline below the line cell's top: the box
    // begins where the cell does, give or take how the PDF rounds the font's
    // figures. The line height is the one the printer moves by.
    QList<printing::PageStep> steps;
    printing::RecordingPage page(steps);
    page.setFontSize(9);
    m_lineHeight = page.lineHeight();
}

void TestPdfOutput::itemsStandWhereTheFormPutsThem_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("occurrence");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");

    // Where each item stands on the form is the document's (tst_printcommand);
    // these show that the copy puts them there, whatever their font and size.
    QTest::newRow("title") << "ORDERUNDERLAG" << 0 << 8.5 << 1.0;
    QTest::newRow("customer number") << "1001" << 0 << 2.5 << 3.0;
    QTest::newRow("registration number") << "ABC123" << 0 << 16.0 << 5.0;
    QTest::newRow("heading first column") << "Artikelnr" << 0 << 1.0 << 8.0;
    QTest::newRow("first line") << "TS35-25" << 0 << 1.0 << 8.0 + 1;
    QTest::newRow("first line amount") << "199.00" << 0 << 18.0 << 8.0 + 1;
    QTest::newRow("third line") << "TS35-27" << 0 << 1.0 << 8.0 + 3;
    QTest::newRow("to pay") << "ATT" << 0 << 17.0 << 24.5;
    QTest::newRow("excluding VAT") << "597.00" << 0 << 1.0 << 26.0;
}

void TestPdfOutput::itemsStandWhereTheFormPutsThem()
{
    QFETCH(QString, word);
    QFETCH(int, occurrence);
    QFETCH(double, x);
    QFETCH(double, y);
    // Table rows are given as 8 cm plus a number of lines.
    if (y > 8.0 && y < 12.0)
        y = 8.0 + (y - 8.0) * m_lineHeight;

    QList<Word> found;
    for (const Word& w : m_words) {
        if (w.text == word)
            found.append(w);
    }
    QVERIFY2(found.size() > occurrence, qPrintable(word));
    const Word& w = found.at(occurrence);
    QCOMPARE(w.page, 1);
    QVERIFY2(qAbs(w.xMin - x) <= 0.05, qPrintable(QStringLiteral("%1 cm across").arg(w.xMin)));
    QVERIFY2(qAbs(w.yMin - y) <= 0.1, qPrintable(QStringLiteral("%1 cm down").arg(w.yMin)));
}

void TestPdfOutput::longOrderContinuesOnLaterPages()
{
    PrintedOrder order;
    order.show(120);
    QVERIFY(order.print(pdfOnly()));
    QString error;
    const QList<Word> words = wordsOf(order.folder.path("Order/124.pdf"), &error);
    QVERIFY2(!words.isEmpty(), qPrintable(error));

    QCOMPARE(pdfPages(order.folder.path("Order/124.pdf")), 3);
    // How many lines each page takes is the table's (tst_listviewprinting);
    // here none is lost and none reaches below the bottom in the copy.
    int lines = 0;
    QMap<int, int> headings;
    for (const Word& w : words) {
        if (w.text == QLatin1String("Artikelnr")) {
            headings[w.page] += 1;
            QVERIFY(qAbs(w.yMin - 8.0) <= 0.1);
        }
        if (!w.text.startsWith(QLatin1String("TS35-")))
            continue;
        ++lines;
        const double bottom = w.page == 1 ? 24.5 : 28.7;
        QVERIFY2(w.yMax <= bottom,
                 qPrintable(QStringLiteral("%1 reaches %2 cm on page %3").arg(w.text).arg(w.yMax).arg(w.page)));
    }
    QCOMPARE(headings, (QMap<int, int> { { 1, 1 }, { 2, 1 }, { 3, 1 } }));
    QCOMPARE(lines, 120);
    // The totals stand on the first page only.
    int toPay = 0;
    for (const Word& w : words) {
        if (w.text == QLatin1String("ATT")) {
            QCOMPARE(w.page, 1);
            ++toPay;
        }
    }
    QCOMPARE(toPay, 1);
}

void TestPdfOutput::reprintReplacesTheCopy()
{
    PrintedOrder order;
    order.show(60);
    QVERIFY(order.print(pdfOnly()));
    core::Order reprinted = sampleOrder();
    reprinted.setText(core::Order::CustomerLine1, QStringLiteral("Omtryckt AB"));
    order.window.openOrder().replaceForTesting(reprinted);
    order.boxes.answers = { true };
    QVERIFY(order.print(pdfOnly()));

    QString error;
    const QList<Word> words = wordsOf(order.folder.path("Order/124.pdf"), &error);
    QCOMPARE(pdfPages(order.folder.path("Order/124.pdf")), 1);
    QVERIFY(contains(words, QStringLiteral("Omtryckt")));
    QVERIFY(!contains(words, QStringLiteral("Bergström")));
    // Nothing of the temporary files is left beside the copy.
    QCOMPARE(QDir(order.folder.path("Order")).entryList({ QStringLiteral("124*") }, QDir::Files),
             (QStringList { "124.pdf", "124_data1.dbf", "124_data2.dbf", "124_data3.dbf" }));
}

// What the recorder shows of long texts (tst_printcommand), the copy shows to
// pdftotext: no word stands over another, and the long name is there whole.
void TestPdfOutput::longTextsStayInTheirFields()
{
    PrintedOrder order;
    order.folder.copySample(QStringLiteral("Registret/Leveranssätt.dbf"));
    core::Order sample = sampleOrder(2);
    sample.setText(core::Order::DeliveryMethod, QStringLiteral("3")); // "Avhämtas av kund på lager"
    sample.appendLine(core::OrderLine::fromList(orderLine(0).replaceInStrings(QRegularExpression("^Trä.*"), longName)));
    order.window.openOrder().replaceForTesting(sample);
    QVERIFY(order.print(pdfOnly()));
    QString error;
    const QList<Word> words = wordsOf(order.folder.path("Order/124.pdf"), &error);
    QVERIFY2(!words.isEmpty(), qPrintable(error));

    constexpr double slack = 0.02; // the PDF's own rounding of the font's figures
    QStringList name;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const Word& a = words.at(i);
        if (a.xMin > 3.9 && a.xMax < 12.0 + slack && a.yMin > 8.0 + 2.5 * m_lineHeight && a.yMax < 24.5)
            name.append(a.text);
        for (const Word& b : words.mid(i + 1))
            QVERIFY2(a.xMax <= b.xMin + slack || b.xMax <= a.xMin + slack || a.yMax <= b.yMin + slack
                         || b.yMax <= a.yMin + slack,
                     qPrintable(a.text + " over " + b.text));
    }
    QCOMPARE(name.join(u' '), longName.simplified());
}

QTEST_MAIN(TestPdfOutput)
#include "tst_pdfoutput.moc"
