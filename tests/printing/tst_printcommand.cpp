#include "printingtestsupport.h"

#include "history/pdfwindow.h"
#include "order/registers.h"
#include "order/registration.h"
#include "orderwindow/deskstart.h"
#include "printing/orderdocument.h"
#include "widgets/reportlistview.h"
#include "widgets/textbox.h"

#include <QDir>
#include <QHeaderView>
#include <QImageReader>
#include <QSaveFile>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using printing::Destinations;
using printing::PageStep;
using printing::RecordingPage;

namespace {

// A printer that cannot start the job.
class DeadPrinter : public RecordingPage
{
public:
    using RecordingPage::RecordingPage;

protected:
    bool startDocument() override { return false; }
};

// A printer that takes the whole document and then reports an error.
class FailingPrinter : public RecordingPage
{
public:
    using RecordingPage::RecordingPage;

protected:
    bool finishDocument() override
    {
        RecordingPage::finishDocument();
        failAtPrinter(QStringLiteral("OrderPDF"), QStringLiteral("skrivaren rapporterade ett fel"));
        return false;
    }
};

// A copy whose file is given up once the document is drawn, as a disk that
// fills up under the last bytes does: it can never be committed.
class CopyThatCannotBeKept : public RecordingPage
{
public:
    CopyThatCannotBeKept(QList<PageStep>& steps, QIODevice& file)
        : RecordingPage(steps)
        , m_file(qobject_cast<QSaveFile*>(&file))
    {
    }

protected:
    bool finishDocument() override
    {
        Q_ASSERT(m_file);
        m_file->cancelWriting();
        return RecordingPage::finishDocument();
    }

private:
    QSaveFile* m_file;
};

// Order 124 as an earlier printing left it.
const QByteArray earlierOrderNumber("123\r\n");
const QByteArray earlierCustomer("1001\r\nGammal kund\r\n\r\n\r\n\r\n");
const QByteArray earlierHead("124\r\n060301\r\n060301\r\n0\r\n\r\n0\r\n0\r\n0\r\n");
const QByteArray earlierList("\"060301\",\"124\",\"1001\",\"Gammal kund\"\r\n");
const QByteArray earlierCopy("%PDF-1.4 the copy of the earlier printing");

// The order form drawn with no window at all.
QList<PageStep> drawn(const core::Order& order, const TestDataFolder& folder)
{
    QList<PageStep> steps;
    {
        RecordingPage page(steps);
        const core::CodeWording wording(folder.data());
        if (!printing::printOrderDocument(page, order, printing::designedOrderLineColumns(), wording, folder.data()))
            steps.clear();
    }
    return steps;
}

void putEarlierPrinting(const TestDataFolder& folder)
{
    folder.write("Registret/OrderNr.dbf", earlierOrderNumber);
    folder.write("Order/124_data1.dbf", earlierCustomer);
    folder.write("Order/124_data2.dbf", earlierHead);
    folder.write("Order/lista.dbf", earlierList);
    folder.write("Order/124.pdf", earlierCopy);
}

} // namespace

class TestPrintCommand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void layout_data();
    void layout();
    void imagesAtTheirOwnSize();
    void tableUnderTheHead();
    void emptyCustomerPrintsCaptionAlone();
    void windowPrintsTheOrderAsTheFormDrawsIt_data();
    void windowPrintsTheOrderAsTheFormDrawsIt();
    void draggedColumnPrintsAsOnScreen();
    void confirmation_data();
    void confirmation();
    void failureBeforeTheRegistrationChangesNothing_data();
    void failureBeforeTheRegistrationChangesNothing();
    void failingPrinterKeepsTheCopyAndRegistersNothing_data();
    void failingPrinterKeepsTheCopyAndRegistersNothing();
    void failureInsideTheRegistrationIsReported();
    void failureBoxSpeaksSwedish_data();
    void failureBoxSpeaksSwedish();
    void startThenF9RegistersTheNextNumberAndF9AgainAsks();
    void textsKeepToTheirFields();
    void orderWithoutVatRateIsRefused();

private:
    // The form's files, for the form drawn without a window: where it puts
    // each item is the form's own; that the window prints the same steps is
    // windowPrintsTheOrderAsTheFormDrawsIt.
    TestDataFolder m_form;
};

void TestPrintCommand::initTestCase()
{
    putFormFiles(m_form);
}

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

    const QList<PageStep> texts = textSteps(drawn(sampleOrder(2), m_form));
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
    QList<PageStep> images;
    for (const PageStep& s : drawn(sampleOrder(), m_form)) {
        if (s.kind == PageStep::Kind::Image)
            images.append(s);
    }
    QCOMPARE(images.size(), 2);
    QCOMPARE(images.at(0).text, m_form.path("Logga.gif"));
    QCOMPARE(images.at(0).x, 0.5);
    QCOMPARE(images.at(0).y, 0.5);
    // 95 x 60 pixels at 96 to the inch.
    QCOMPARE(images.at(0).imageSize, QSizeF(95 * 2.54 / 96, 60 * 2.54 / 96));
    QCOMPARE(images.at(1).text, m_form.path("form_listview.gif"));
    QCOMPARE(images.at(1).x, 0.3);
    QCOMPARE(images.at(1).y, 7.5);
    QCOMPARE(images.at(1).imageSize, QSizeF(733 * 2.54 / 96, 631 * 2.54 / 96));
}

void TestPrintCommand::tableUnderTheHead()
{
    // The order's lines in the designed columns under their captions at 8 cm;
    // how a table is printed row by row is the table's own (tst_listviewprinting).
    const QList<PageStep> steps = drawn(sampleOrder(3), m_form);
    const QList<PageStep> texts = textSteps(steps).mid(31);
    QStringList expected { "Artikelnr", "Benämning", "Enhet", "A-pris", "Antal", "Rab %               ", "Radsumma" };
    for (int row = 0; row < 3; ++row)
        expected += orderLine(row);
    QCOMPARE(texts.size(), expected.size());
    for (int i = 0; i < texts.size(); ++i) {
        QCOMPARE(texts.at(i).text, expected.at(i));
        QCOMPARE(texts.at(i).x, (QList<double> { 1, 4, 12, 13, 15, 17, 18 }.at(i % 7)));
        QCOMPARE(texts.at(i).fontSize, 9.0);
    }
    QCOMPARE(texts.first().y, 8.0);
    // One job: no empty page, and the table's end is the form's.
    QCOMPARE(countSteps(steps, PageStep::Kind::NewPage), 0);
    QCOMPARE(countSteps(steps, PageStep::Kind::End), 1);
}

void TestPrintCommand::emptyCustomerPrintsCaptionAlone()
{
    core::Order order;
    order.setText(core::Order::OrderNumber, QStringLiteral("7"));
    const QList<PageStep> texts = textSteps(drawn(order, m_form));
    QCOMPARE(texts.at(1).text, QStringLiteral("Kundnr:  "));
    for (int i : { 2, 3, 4, 5 })
        QCOMPARE(texts.at(i).text, QString());
    // The table's heading stands alone after the totals.
    QCOMPARE(texts.size(), 31 + 7);
}

void TestPrintCommand::windowPrintsTheOrderAsTheFormDrawsIt_data()
{
    QTest::addColumn<core::Order>("order");

    QTest::newRow("sample order, 3 lines") << sampleOrder(3);
    QTest::newRow("120 lines over three pages") << sampleOrder(120);
    core::Order fresh;
    fresh.setText(core::Order::VatCode, QStringLiteral("0")); // F9 refuses an order without a VAT rate
    QTest::newRow("a fresh window's order with a VAT code") << fresh;
    core::Order otherCodes = sampleOrder(1);
    otherCodes.setText(core::Order::PaymentTerms, QStringLiteral("7")); // not in the register
    otherCodes.setText(core::Order::FreightMethod, QStringLiteral("2"));
    otherCodes.setText(core::Order::VatCode, QStringLiteral("3"));
    QTest::newRow("other codes") << otherCodes;
}

// The order window adds nothing of its own to the printed form: the order
// drawn with no window at all gives the same steps as F9.
void TestPrintCommand::windowPrintsTheOrderAsTheFormDrawsIt()
{
    QFETCH(core::Order, order);

    PrintedOrder p;
    const QList<PageStep> form = drawn(order, p.folder);
    QVERIFY(countSteps(form, PageStep::Kind::Text) >= 31 + 7);

    p.window.openOrder().replaceForTesting(order);
    QVERIFY(p.printRecorded(true));
    QCOMPARE(firstDifference(p.recorded.printer, form), QString());
    QCOMPARE(firstDifference(p.recorded.pdf, form), QString());
    QVERIFY(p.folder.exists("Order/" + order.text(core::Order::OrderNumber) + ".pdf"));
    QCOMPARE(p.boxes.shown.size(), 1);
    QCOMPARE(p.boxes.shown.at(0).icon, MessageBox::Icon::Information);
}

void TestPrintCommand::draggedColumnPrintsAsOnScreen()
{
    PrintedOrder p;
    p.show(2);
    // "Benämning" dragged from 200 to 300 pixels: 4500 twips of 9940.
    p.lines()->header()->resizeSection(1, 300);
    QVERIFY(p.printRecorded());

    const QList<double> edges { 1, 4, 14, 14, 16, 18, 19 };
    const QList<PageStep> table = textSteps(p.recorded.pdf).mid(31);
    QCOMPARE(table.size(), 3 * 7);
    for (int i = 0; i < table.size(); ++i)
        QCOMPARE(table.at(i).x, edges.at(i % 7));
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
    p.show(1);
    QVERIFY(p.printRecorded(withPrinter));

    QCOMPARE(p.boxes.shown.size(), 1);
    const MessageBox::Shown& box = p.boxes.shown.at(0);
    QCOMPARE(box.icon, MessageBox::Icon::Information);
    const core::Confirmation confirmation
        = core::confirmationOf(sampleOrder(1), withPrinter ? QString() : p.folder.path("Order/124.pdf"));
    QCOMPARE(box.title, confirmation.title);
    QCOMPARE(box.text, confirmation.text);
}

void TestPrintCommand::failureBeforeTheRegistrationChangesNothing_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("namedFile");
    QTest::newRow("logo missing") << "Logga.gif"
                                  << "Logga.gif";
    QTest::newRow("table frame missing") << "form_listview.gif"
                                         << "form_listview.gif";
    QTest::newRow("order folder missing") << "Order"
                                          << "124.pdf";
    QTest::newRow("order number names no file") << "number"
                                                << "\"../124\"";
    QTest::newRow("copy cannot be committed") << "commit"
                                              << "124.pdf";
}

// The copy is kept before anything reaches the paper: a copy that cannot be
// drawn or kept stops the command with no job sent and nothing registered.
void TestPrintCommand::failureBeforeTheRegistrationChangesNothing()
{
    QFETCH(QString, cause);
    QFETCH(QString, namedFile);

    PrintedOrder p;
    putEarlierPrinting(p.folder);
    core::Order order = sampleOrder(2);
    Destinations d = p.recorded.destinations(true);
    if (cause == "number")
        order.setText(core::Order::OrderNumber, QStringLiteral("../124"));
    else if (cause == "commit")
        d.pdfCopy = [&p](QIODevice& file, const QString&) {
            return std::make_unique<CopyThatCannotBeKept>(p.recorded.pdf, file);
        };
    else
        p.folder.remove(cause);
    p.window.openOrder().replaceForTesting(order);
    p.boxes.answers = { true }; // printed again, under its number
    QVERIFY(p.print(d));

    // A listed number is asked about first.
    QCOMPARE(p.boxes.shown.size(), cause == "number" || cause == "Order" ? 1 : 2);
    QCOMPARE(p.boxes.shown.last().icon, MessageBox::Icon::Critical);
    QVERIFY2(p.boxes.shown.last().text.contains(namedFile), qPrintable(p.boxes.shown.last().text));
    QVERIFY(p.recorded.printer.isEmpty());
    QCOMPARE(p.folder.read("Registret/OrderNr.dbf"), earlierOrderNumber);
    // No copy anywhere else either, inside the data folder or beside it.
    QCOMPARE(QDir(p.folder.path(QString())).entryList({ "*.pdf" }, QDir::Files), QStringList());
    QCOMPARE(QDir(p.folder.programFolder()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList { "System" });
    if (cause == "Order") {
        QVERIFY(!p.folder.exists("Order"));
        return;
    }
    QCOMPARE(p.folder.read("Order/124_data1.dbf"), earlierCustomer);
    QCOMPARE(p.folder.read("Order/124_data2.dbf"), earlierHead);
    QCOMPARE(p.folder.read("Order/lista.dbf"), earlierList);
    QCOMPARE(p.folder.read("Order/124.pdf"), earlierCopy);
    // Nothing of the copy's temporary file is left beside it.
    QCOMPARE(QDir(p.folder.path("Order")).entryList(QDir::Files),
             (QStringList { "124.pdf", "124_data1.dbf", "124_data2.dbf", "lista.dbf" }));
}

void TestPrintCommand::failingPrinterKeepsTheCopyAndRegistersNothing_data()
{
    QTest::addColumn<bool>("atStart");
    QTest::addColumn<QString>("reported");
    QTest::newRow("printer cannot start the job") << true << "utskriften kunde inte startas";
    QTest::newRow("printer reports an error at the end")
        << false << "Skrivare: OrderPDF\r\nOrsak: skrivaren rapporterade ett fel";
}

// The copy has been committed when the printer fails: it stays, and the order
// is not registered (printing again replaces the copy).
void TestPrintCommand::failingPrinterKeepsTheCopyAndRegistersNothing()
{
    QFETCH(bool, atStart);
    QFETCH(QString, reported);

    PrintedOrder p;
    p.folder.write("Registret/OrderNr.dbf", earlierOrderNumber);
    p.show(2);
    Destinations d;
    d.pdfCopy = &Destinations::pdfPage;
    d.printer = [&p, atStart](const QString&) -> std::unique_ptr<printing::Page> {
        if (atStart)
            return std::make_unique<DeadPrinter>(p.recorded.printer);
        return std::make_unique<FailingPrinter>(p.recorded.printer);
    };
    QVERIFY(p.print(d));

    QCOMPARE(p.boxes.shown.size(), 1);
    QCOMPARE(p.boxes.shown.at(0).icon, MessageBox::Icon::Critical);
    QVERIFY2(p.boxes.shown.at(0).text.contains(reported), qPrintable(p.boxes.shown.at(0).text));
    // A printer is no file.
    QVERIFY2(!p.boxes.shown.at(0).text.contains(QStringLiteral("Fil:")), qPrintable(p.boxes.shown.at(0).text));
    QCOMPARE(p.folder.read("Registret/OrderNr.dbf"), earlierOrderNumber);
    QVERIFY(!p.folder.exists("Order/124_data1.dbf"));
    QVERIFY(!p.folder.exists("Order/124_data2.dbf"));
    QVERIFY(!p.folder.exists("Order/lista.dbf"));
    QVERIFY(p.folder.read("Order/124.pdf").startsWith("%PDF-"));
    // Counted where pdfinfo can count them, and always under CI.
    if (const auto missing = notInstalled(QStringLiteral("pdfinfo"), QStringLiteral("poppler-utils"));
        !missing || failsHere(*missing))
        QCOMPARE(pdfPages(p.folder.path("Order/124.pdf")), 1);
}

void TestPrintCommand::failureInsideTheRegistrationIsReported()
{
    PrintedOrder p;
    p.show(1);
    // A folder where the order-head file belongs cannot be replaced.
    QDir().mkpath(p.folder.path("Order/124_data2.dbf"));
    QVERIFY(p.printRecorded(true));

    QCOMPARE(countSteps(p.recorded.printer, PageStep::Kind::End), 1);
    QCOMPARE(p.folder.read("Registret/OrderNr.dbf"), QByteArray("124\r\n"));
    QVERIFY(p.folder.exists("Order/124_data1.dbf"));
    QVERIFY(!p.folder.exists("Order/lista.dbf"));
    QCOMPARE(p.boxes.shown.size(), 1);
    QCOMPARE(p.boxes.shown.at(0).icon, MessageBox::Icon::Critical);
    QVERIFY2(p.boxes.shown.at(0).text.contains("124_data2.dbf"), qPrintable(p.boxes.shown.at(0).text));
}

void TestPrintCommand::failureBoxSpeaksSwedish_data()
{
    QTest::addColumn<QString>("file"); // under System
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("error"); // the system's error number; 0 for an image
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("swedish"); // the reason before the system's words

    const QString printing = QStringLiteral("skriva ut ordern");
    const QString listing = QStringLiteral("föra in ordern i orderlistan");
    QTest::newRow("logo cut short") << "Logga.gif"
                                    << "cut" << 0 << printing << "bilden kan inte läsas: bildfilen är skadad";
    QTest::newRow("logo that is no image")
        << "Logga.gif"
        << "text" << 0 << printing << "bilden kan inte läsas: bildformatet känns inte igen";
    // The full disk is a device file in the list's place, which only the
    // system's administrator may make.
    if (geteuid() == 0)
        QTest::newRow("order list on a full disk") << "Order/lista.dbf"
                                                   << "full" << ENOSPC << listing << "disken är full";
    // The system lets its administrator write anything.
    if (geteuid() != 0)
        QTest::newRow("order list read-only") << "Order/lista.dbf"
                                              << "read-only" << EACCES << listing << "åtkomst nekad";
}

// Whatever the system or Qt says, in English or otherwise, stands only in
// brackets after the reason in the operator's words.
void TestPrintCommand::failureBoxSpeaksSwedish()
{
    QFETCH(QString, file);
    QFETCH(QString, damage);
    QFETCH(int, error);
    QFETCH(QString, operation);
    QFETCH(QString, swedish);

    PrintedOrder p;
    p.show(1);
    const QString path = p.folder.path(file);
    if (damage == "cut") {
        p.folder.write(file, p.folder.read(file).left(40));
    } else if (damage == "text") {
        p.folder.write(file, "Ingen bild h\xE4r\r\n");
    } else if (damage == "remove") {
        p.folder.remove(file);
    } else if (damage == "full") {
        QVERIFY(::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 7)) == 0);
    } else {
        p.folder.write(file, earlierList);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }
    QString system;
    if (error) {
        system = QString::fromLocal8Bit(std::strerror(error));
    } else {
        QImageReader reader(path);
        QVERIFY(reader.read().isNull());
        system = reader.errorString();
    }
    QVERIFY(!system.isEmpty());

    QVERIFY(p.printRecorded(true));

    QCOMPARE(p.boxes.shown.size(), 1);
    const MessageBox::Shown& box = p.boxes.shown.first();
    QCOMPARE(box.icon, MessageBox::Icon::Critical);
    const QString reason = swedish + QStringLiteral(" (") + system + QLatin1Char(')');
    QCOMPARE(box.text,
             QStringLiteral("Det gick inte att %1.\r\n\r\nFil: %2\r\nOrsak: %3")
                 .arg(operation, QDir::toNativeSeparators(path), reason));

    // Outside the brackets, none of the system's words.
    QString outside = box.text;
    outside.remove(QDir::toNativeSeparators(path)).remove(QStringLiteral("(") + system + QLatin1Char(')'));
    QVERIFY2(!outside.contains(QLatin1Char('(')), qPrintable(outside));
    static const QRegularExpression word(QStringLiteral("\\p{L}+"));
    QSet<QString> systemWords;
    for (auto it = word.globalMatch(system); it.hasNext();)
        systemWords.insert(it.next().captured().toLower());
    for (auto it = word.globalMatch(outside); it.hasNext();) {
        const QString shown = it.next().captured();
        QVERIFY2(!systemWords.contains(shown.toLower()), qPrintable(shown + QStringLiteral(" in ") + box.text));
    }
}

void TestPrintCommand::startThenF9RegistersTheNextNumberAndF9AgainAsks()
{
    TestDataFolder folder;
    putFormFiles(folder);
    folder.write("Registret/OrderNr.dbf", "1047\r\n");
    const QByteArray earlier = "\"261207\",\"1047\",\"1001\",\"Berg\"\r\n";
    folder.write("Order/lista.dbf", earlier);
    MessageBox::Recorder boxes;
    Destinations::Override paper(pdfOnly());

    // The desk starts with its order numbered: F9 at once registers 1048.
    const std::unique_ptr<DeskStart> desk = startDesk(folder.data(), [] { return QDateTime(QDate(2026, 12, 7), {}); });
    QVERIFY(desk->window && showActive(*desk->window));
    QCOMPARE(textBox(*desk->window, "txt_OrderNr")->text(), QStringLiteral("1048"));
    QTest::keyClick(desk->window.get(), Qt::Key_F9);
    const QByteArray line = "\"261207\",\"1048\",\"\",\"\"\r\n";
    QCOMPARE(folder.read("Order/lista.dbf"), earlier + line);
    QCOMPARE(folder.read("Registret/OrderNr.dbf"), QByteArray("1048\r\n"));
    QCOMPARE(boxes.shown.size(), 1);

    // F9 again asks first; "Nej" changes nothing, "Ja" prints it again under
    // its number.
    QTest::keyClick(desk->window.get(), Qt::Key_F9);
    QCOMPARE(boxes.shown.size(), 2);
    QCOMPARE(boxes.shown.last().text,
             QStringLiteral("Order 1048 är redan registrerad. Vill du skriva ut den igen med samma nummer?"));
    QCOMPARE(folder.read("Order/lista.dbf"), earlier + line);
    boxes.answers = { true };
    QTest::keyClick(desk->window.get(), Qt::Key_F9);
    QCOMPARE(boxes.shown.size(), 4);
    QCOMPARE(folder.read("Order/lista.dbf"), earlier + line + line);
    QCOMPARE(folder.read("Registret/OrderNr.dbf"), QByteArray("1048\r\n"));
}

// Every field too long for its place, on the order form and the delivery
// note: nothing prints over another text or past the page's edge, and the
// delivery method's wording goes on below in its column, whole, beside "Posten".
void TestPrintCommand::textsKeepToTheirFields()
{
    using core::Order;
    m_form.copySample(QStringLiteral("Registret/Leveranssätt.dbf"));
    Order order = sampleOrder(0);
    for (Order::Field field :
         { Order::CustomerNumber, Order::CustomerLine1, Order::CustomerLine2, Order::CustomerLine3, Order::Info,
           Order::OrderNumber, Order::DeliveryDate, Order::OrderDate, Order::RegistrationNumber })
        order.setText(field, longName);
    order.setText(Order::DeliveryMethod, QStringLiteral("3")); // "Avhämtas av kund på lager"
    order.appendLine(core::OrderLine::fromList(QStringList(6, longName) << QStringLiteral("1e20")));
    order.appendLine(core::OrderLine::fromList(QStringList(6, QString(60, u'8')) << QStringLiteral("1e20")));

    for (auto document : { printing::OrderDocument::OrderForm, printing::OrderDocument::DeliveryNote }) {
        QList<PageStep> steps;
        RecordingPage page(steps);
        QVERIFY(printing::printOrderDocument(page, order, printing::designedOrderLineColumns(),
                                             core::CodeWording(m_form.data()), m_form.data(), document));
        QCOMPARE(overprinted(steps, page.printableWidth()), QString());
        QString delivery;
        for (const PageStep& s : textSteps(steps))
            delivery += s.x == 10.0 && s.y >= 5.0 && s.y < 6.0 ? s.text + u' ' : QString();
        QCOMPARE(delivery, QStringLiteral("Avhämtas av kund på lager "));
    }
}

// An order whose VAT code was emptied or changed to one without a rate is
// neither printed (F9) nor previewed (Shift+F9): the rate it had before is not
// the order's.
void TestPrintCommand::orderWithoutVatRateIsRefused()
{
    for (bool preview : { false, true }) {
        PrintedOrder p;
        p.show(2);
        p.window.openOrder().setText(core::Order::VatCode, QStringLiteral("2"));
        QVERIFY(showActive(p.window));
        const printing::Destinations::Override override(p.recorded.destinations(true));
        QTest::keyClick(&p.window, Qt::Key_F9, preview ? Qt::ShiftModifier : Qt::NoModifier);

        QCOMPARE(p.boxes.shown.size(), 1);
        QCOMPARE(p.boxes.shown.at(0).icon, MessageBox::Icon::Critical);
        QVERIFY2(p.boxes.shown.at(0).text.contains("momskoden \"2\""), qPrintable(p.boxes.shown.at(0).text));
        QVERIFY(p.recorded.printer.isEmpty() && p.recorded.pdf.isEmpty() && visibleWindows<PdfWindow>().isEmpty());
        QVERIFY(!p.folder.exists("Registret/OrderNr.dbf") && !p.folder.exists("Order/lista.dbf"));
    }
}

QTEST_MAIN(TestPrintCommand)
#include "tst_printcommand.moc"
