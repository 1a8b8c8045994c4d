// The program in a damaged data folder: it says what is wrong, keeps running,
// and leaves no file half-written or lost.

#include "datafiles/desks.h"
#include "datafiles/records.h"
#include "datafiles/textfile.h"
#include "order/order.h"
#include "pickers/frmaddproduct.h"
#include "pickers/registerpicker.h"
#include "printing/printingtestsupport.h"
#include "retrieval/frmgetinfo.h"
#include "retrieval/frmvarning.h"
#include "support/machine.h"
#include "widgets/controls.h"
#include "widgets/messagebox.h"
#include "widgets/reportlistview.h"
#include "widgets/textbox.h"

#include <QAction>
#include <QApplication>
#include <QDirIterator>
#include <QHash>
#include <QListWidget>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

#include <functional>

using Damage = std::function<void(TestDataFolder&)>;

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void damagedDataFolder_data();
    void damagedDataFolder();
    void fullDisk();
    void pdfCopyCannotBeKeptWhileAPrinterWaits();
    void unusualBytesReachTheFilesUnchanged();
    void linkInTheDataFolder_data();
    void linkInTheDataFolder();
    void killedWhileWriting();
};

Q_DECLARE_METATYPE(Damage)

namespace {

// A program folder holding a copy of the sample data.
class SampleFolder : public TestDataFolder
{
public:
    SampleFolder() { copySample(); }
};

// The order window over a data folder, shown, as the operator has it; like the
// operator's, it is closed before it goes.
class ShownWindow
{
public:
    explicit ShownWindow(const datafiles::DataDirectory& data, OrderWindow::Clock today = {})
        : m_window(OrderWindow::create(data, std::move(today)))
    {
        m_window->show();
    }
    ShownWindow(const ShownWindow&) = delete;
    ShownWindow& operator=(const ShownWindow&) = delete;
    ~ShownWindow() { m_window->close(); }

    OrderWindow& operator*() const { return *m_window; }
    OrderWindow* operator->() const { return m_window.get(); }

private:
    std::unique_ptr<OrderWindow> m_window;
};

// Types a customer number into the order window and presses Enter, which looks it up.
void typeCustomer(QWidget& window, const QString& number)
{
    TextBox* box = textBox(window, "txt_KundField0");
    box->clear();
    QTest::keyClicks(box, number);
    QTest::keyClick(box, Qt::Key_Return);
}

template<typename Window>
Window* openWindow()
{
    QCoreApplication::processEvents();
    return visibleWindow<Window>();
}

void closeAll()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!qobject_cast<OrderWindow*>(top) && top->isVisible())
            top->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// F12: the first product of the picker, two of it, "OK".
void addFirstProduct(QWidget& window)
{
    choose(window, "mnuVisa_Produkter");
    if (auto* picker = openWindow<FrmAddProduct>()) {
        if (picker->productList()->model()->rowCount() > 0) {
            picker->productList()->selectRowWithoutScrolling(0);
            picker->takeChosenProduct();
        }
        picker->quantityBox()->setText(QStringLiteral("2"));
        picker->addLine();
    }
    closeAll();
}

// A day at the desk: a new order, a customer, a product line, the codes, the
// printout, the number recorded by hand, a printed order fetched back, the
// error catalogue, and a line removed.
void workThroughOrder(OrderWindow& w)
{
    choose(w, "mnuNy");
    typeCustomer(w, QStringLiteral("1004"));
    addFirstProduct(w);
    // F9 refuses an order without a VAT rate before it touches a file; where
    // "Ny" failed, the operator types the code.
    w.openOrder().setText(core::Order::VatCode, QStringLiteral("0"));

    for (const char* entry : { "mnuData_Levs", "mnuData_Betk" }) {
        choose(w, entry);
        if (auto* picker = openWindow<RegisterPicker>()) {
            if (picker->codeList()->model()->rowCount() > 1)
                picker->codeList()->selectRowWithoutScrolling(1);
            picker->chooseCode();
        }
        closeAll();
    }

    choose(w, "mnuPrint");
    // "F9 - Skriv ut underlag" clicked in the legend records the number by hand.
    auto* legend = w.findChild<ClickableLabel*>(QStringLiteral("Label26"));
    if (!legend)
        qFatal("The order window has no legend Label26");
    QTest::mouseClick(legend, Qt::LeftButton);

    choose(w, "mnuHamta");
    if (auto* retrieval = openWindow<FrmGetInfo>()) {
        const int rows = retrieval->orderList()->model()->rowCount();
        if (rows > 0)
            retrieval->orderList()->selectRowWithoutScrolling(rows - 1);
        retrieval->fetchChosenOrder();
    }
    closeAll();

    choose(w, "mnuHelp_Varning");
    if (auto* catalogue = openWindow<FrmVarning>()) {
        if (catalogue->List1()->count() > 0)
            catalogue->List1()->setCurrentRow(0);
    }
    closeAll();

    ReportListView* lines = listView(w);
    if (lines->model()->rowCount() > 0) {
        lines->selectRowWithoutScrolling(0);
        choose(w, "mnuMinus");
    }
}

using Snapshot = QHash<QString, QByteArray>;

// Every file under a System folder, by path.
Snapshot snapshot(const QString& systemFolder)
{
    Snapshot files;
    QDirIterator it(systemFolder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            files.insert(file.fileName(), file.readAll());
    }
    return files;
}

Snapshot snapshot(const TestDataFolder& folder)
{
    return snapshot(folder.path(QString()));
}

// The files that are not as they were: changed, added or gone.
QStringList changedFiles(const Snapshot& before, const Snapshot& after)
{
    QStringList changed;
    for (auto it = after.begin(); it != after.end(); ++it) {
        if (!before.contains(it.key()))
            changed << it.key() + QStringLiteral(": added");
        else if (before.value(it.key()) != it.value())
            changed << it.key() + QStringLiteral(": changed");
    }
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (!after.contains(it.key()))
            changed << it.key() + QStringLiteral(": gone");
    }
    return changed;
}

// Every file the program wrote must be whole: a record file of complete
// records, each line ended, no temporary file left behind. Damage the test
// did itself, and the part of a file before what the program appended, are
// not the program's.
QStringList halfWrittenFiles(const QString& systemFolder, const Snapshot& before = {})
{
    QStringList problems;
    static const QRegularExpression leftover(QStringLiteral("\\.(dbf|pdf)\\.\\w{6}$"));
    const Snapshot after = snapshot(systemFolder);
    for (auto it = after.begin(); it != after.end(); ++it) {
        const QString name = QFileInfo(it.key()).fileName();
        QByteArray bytes = it.value();
        if (before.contains(it.key())) {
            const QByteArray old = before.value(it.key());
            if (old == bytes)
                continue;
            // A damaged file the program appended to: only what it added counts.
            const int fields = name == QLatin1String("lista.dbf") ? 4 : 7;
            const bool wholeNow = !datafiles::RecordTable::parse(bytes, fields).endsInsideRecord();
            if (!wholeNow && bytes.startsWith(old) && !old.isEmpty()) {
                bytes = bytes.mid(old.size());
                if (!old.endsWith('\n') && bytes.startsWith("\r\n"))
                    bytes = bytes.mid(2);
            }
        }
        auto records = [&](int fields) {
            if (!bytes.isEmpty() && !bytes.endsWith("\r\n"))
                problems << name + QStringLiteral(": last line not ended");
            if (datafiles::RecordTable::parse(bytes, fields).endsInsideRecord())
                problems << name + QStringLiteral(": ends inside a record");
        };
        auto lines = [&](int count) {
            if (bytes.count("\r\n") != count || !bytes.endsWith("\r\n"))
                problems << name + QStringLiteral(": not %1 lines").arg(count);
        };
        if (leftover.match(name).hasMatch())
            problems << name + QStringLiteral(": temporary file left behind");
        else if (name == QLatin1String("OrderNr.dbf")
                 && !QRegularExpression(QStringLiteral("^\\d+\\r\\n$")).match(QString::fromLatin1(bytes)).hasMatch())
            problems << name + QStringLiteral(": not one order number");
        else if (name == QLatin1String("lista.dbf"))
            records(4);
        else if (name.endsWith(QLatin1String(".basket.dbf")))
            records(7);
        else if (name.endsWith(QLatin1String("_data1.dbf")))
            lines(5);
        else if (name.endsWith(QLatin1String("_data2.dbf")))
            lines(8);
        else if (name.endsWith(QLatin1String(".pdf"))
                 && (!bytes.startsWith("%PDF") || !bytes.right(32).contains("%%EOF")))
            problems << name + QStringLiteral(": not a whole PDF");
    }
    return problems;
}

QStringList halfWrittenFiles(const TestDataFolder& folder, const Snapshot& before = {})
{
    return halfWrittenFiles(folder.path(QString()), before);
}

// Boxes of failures must say what failed and where.
QStringList unclearBoxes(const QList<MessageBox::Shown>& shown)
{
    QStringList problems;
    for (const MessageBox::Shown& box : shown) {
        if (box.text.trimmed().isEmpty())
            problems << QStringLiteral("an empty box");
        if (box.icon == MessageBox::Icon::Critical && box.title == programTitle
            && !box.text.contains(QLatin1String("Fil:")) && !box.text.contains(QLatin1String("/System")))
            problems << QStringLiteral("a failure without its file: ") + box.text;
    }
    return problems;
}

void replaceWithFolder(TestDataFolder& folder, const QString& file)
{
    folder.remove(file);
    QDir().mkpath(folder.path(file));
}

void replaceWithFile(TestDataFolder& folder, const QString& dir)
{
    folder.remove(dir);
    folder.write(dir, "inte en mapp\r\n");
}

void cutShort(TestDataFolder& folder, const QString& file, int dropped)
{
    const QByteArray bytes = folder.read(file);
    folder.write(file, bytes.left(bytes.size() - dropped));
}

QByteArray readFile(const QString& path)
{
    return datafiles::readWholeFile(path).bytes;
}

} // namespace

void TestFaults::damagedDataFolder_data()
{
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<bool>("reported");

    // Each data folder missing.
    for (const char* dir : { "Customer", "Registret", "Order", "Registret/Felmeddelande" })
        QTest::addRow("folder %s missing", dir)
            << Damage([dir](TestDataFolder& f) { f.remove(QLatin1String(dir)); })
            << (qstrcmp(dir, "Customer") != 0 && qstrcmp(dir, "Registret/Felmeddelande") != 0);
    QTest::newRow("System missing") << Damage([](TestDataFolder& f) { f.remove(QString()); }) << true;

    // A folder where a file should be.
    for (const char* file : { "Registret/OrderNr.dbf", "Registret/Produkter.dbf", "Registret/Leveranssätt.dbf",
                              "Order/lista.dbf", "Order/1042.basket.dbf", "Order/1042_data1.dbf", "Logga.gif",
                              "Customer/1004.GetInfo.dbf", "Registret/Felmeddelande/ErrorID.txt" })
        QTest::addRow("folder for %s", file)
            << Damage([file](TestDataFolder& f) { replaceWithFolder(f, QString::fromUtf8(file)); })
            << (qstrcmp(file, "Customer/1004.GetInfo.dbf") != 0
                && qstrcmp(file, "Registret/Felmeddelande/ErrorID.txt") != 0);

    // A file where a folder should be.
    for (const char* dir : { "Order", "Registret", "Customer", "Registret/Felmeddelande" })
        QTest::addRow("file for folder %s", dir)
            << Damage([dir](TestDataFolder& f) { replaceWithFile(f, QLatin1String(dir)); })
            << (qstrcmp(dir, "Customer") != 0 && qstrcmp(dir, "Registret/Felmeddelande") != 0);

    // Files cut short inside a record.
    QTest::newRow("product register cut")
        << Damage([](TestDataFolder& f) { cutShort(f, "Registret/Produkter.dbf", 9); }) << true;
    QTest::newRow("delivery register cut")
        << Damage([](TestDataFolder& f) { cutShort(f, QStringLiteral("Registret/Leveranssätt.dbf"), 8); }) << true;
    QTest::newRow("order list cut") << Damage([](TestDataFolder& f) {
        f.write("Order/lista.dbf", "\"261201\",\"1040\",\"1001\",\"Bergstr\xF6m Bygg AB\"\r\n\"261202\",\"1041\",\"10");
        f.write("Order/1040.basket.dbf", "\"A1\",\"Spik\",\"st\",\"1.00\",\"2\",\"\",\"2.00\"\r\n\"A2\",\"Sk");
    }) << true;
    QTest::newRow("basket cut") << Damage([](TestDataFolder& f) {
        f.write("Order/1042.basket.dbf", "\"A1\",\"Spik\",\"st\",\"1.00\",\"2\",\"\",\"2.00\"\r\n\"A2\",\"Sk");
    }) << true;
    QTest::newRow("order number cut") << Damage([](TestDataFolder& f) { f.write("Registret/OrderNr.dbf", "10"); })
                                      << false;

    // Texts of ten megabytes on one line.
    QTest::newRow("10 MB customer line") << Damage([](TestDataFolder& f) {
        f.write("Customer/1004.GetInfo.dbf", "1004\r\n" + QByteArray(10 << 20, 'K') + "\r\nGatan 1\r\nOrten\r\n");
    }) << false;
    QTest::newRow("10 MB product") << Damage([](TestDataFolder& f) {
        f.write("Registret/Produkter.dbf",
                "\"LANG-1\",\"" + QByteArray(10 << 20, 'P') + "\",\"st\",\"1.00\"\r\n"
                    + f.read("Registret/Produkter.dbf"));
    }) << false;
    QTest::newRow("10 MB catalogue id") << Damage([](TestDataFolder& f) {
        f.write("Registret/Felmeddelande/ErrorID.txt", QByteArray(10 << 20, '1') + "\r\n1001,06\r\n");
    }) << false;
}

void TestFaults::damagedDataFolder()
{
    QFETCH(Damage, damage);
    QFETCH(bool, reported);
    SampleFolder folder;
    damage(folder);
    const Snapshot damaged = snapshot(folder);

    MessageBox::Recorder boxes;
    printing::Destinations::Override paper(pdfOnly());
    {
        const ShownWindow window(folder.data(), [] { return QDate(2026, 12, 7).startOfDay(); });
        workThroughOrder(*window);
        QVERIFY(window->isVisible());
        closeAll();
    }

    const QStringList problems = halfWrittenFiles(folder, damaged);

    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    QVERIFY2(unclearBoxes(boxes.shown).isEmpty(), qPrintable(unclearBoxes(boxes.shown).join(QLatin1Char('\n'))));
    bool failureShown = false;
    for (const MessageBox::Shown& box : boxes.shown)
        failureShown = failureShown || box.icon == MessageBox::Icon::Critical
            || box.text.contains(QStringLiteral("ofullständig")) || box.text.contains(QLatin1String("slutar"));
    if (reported)
        QVERIFY2(failureShown, "the operator was not told what is wrong");
}

void TestFaults::fullDisk()
{
    SmallDisk disk;
    SKIP_IF_UNAVAILABLE(disk.mount());
    const datafiles::DataDirectory data = disk.sampleData();
    const QByteArray numberBefore = readFile(data.orderNumberFile());
    QVERIFY(disk.fill());

    MessageBox::Recorder boxes;
    printing::Destinations::Override paper(pdfOnly());
    {
        const ShownWindow window(data);
        workThroughOrder(*window);
        QVERIFY(window->isVisible());
        closeAll();
    }

    QCOMPARE(readFile(data.orderNumberFile()), numberBefore); // the old number stays whole
    bool diskFullSaid = false;
    for (const MessageBox::Shown& box : boxes.shown)
        diskFullSaid = diskFullSaid || box.text.contains(QStringLiteral("disken är full"));
    QVERIFY(diskFullSaid);
    QVERIFY(unclearBoxes(boxes.shown).isEmpty());
}

void TestFaults::pdfCopyCannotBeKeptWhileAPrinterWaits()
{
    // The disk fills up just before F9: the PDF copy cannot be kept, so nothing
    // may go to the printer and nothing may be registered.
    SmallDisk disk;
    SKIP_IF_UNAVAILABLE(disk.mount());
    const datafiles::DataDirectory data = disk.sampleData();
    {
        QFile list(data.orderList());
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("\"261201\",\"1040\",\"1001\",\"Bergstr\xF6m Bygg AB\"\r\n");
    }

    MessageBox::Recorder boxes;
    QList<printing::PageStep> printed;
    int printerJobs = 0;
    printing::Destinations destinations;
    destinations.printer = [&](const QString&) -> std::unique_ptr<printing::Page> {
        ++printerJobs;
        return std::make_unique<printing::RecordingPage>(printed);
    };
    destinations.pdfCopy = &printing::Destinations::pdfPage;
    printing::Destinations::Override printer(destinations);

    const ShownWindow window(data, [] { return QDate(2026, 12, 7).startOfDay(); });
    choose(*window, "mnuNy");
    const QString number = textBox(*window, "txt_OrderNr")->text();
    QCOMPARE(number, QStringLiteral("1042"));
    typeCustomer(*window, QStringLiteral("1004"));
    addFirstProduct(*window);
    QCOMPARE(window->order().lines().size(), 1);
    QVERIFY2(boxes.shown.isEmpty(), qPrintable(boxes.shown.value(0).text));

    const Snapshot before = snapshot(data.systemFolder());
    QVERIFY(disk.fill());
    choose(*window, "mnuPrint");

    QCOMPARE(printerJobs, 0);
    QVERIFY(printed.isEmpty());
    // The order-number file, the archive files, the order list and the basket
    // are as they were, and neither a copy nor a piece of one is left.
    const QStringList changed = changedFiles(before, snapshot(data.systemFolder()));
    QVERIFY2(changed.isEmpty(), qPrintable(changed.join(QLatin1Char('\n'))));
    QVERIFY(!QFileInfo::exists(data.archiveCustomerFile(number).value()));
    QVERIFY(!QFileInfo::exists(data.archiveOrderHeadFile(number).value()));
    QCOMPARE(readFile(data.orderNumberFile()), QByteArray("1041\r\n"));
    QCOMPARE(readFile(data.orderList()).count("\r\n"), 1);

    QCOMPARE(boxes.shown.size(), 1);
    const MessageBox::Shown box = boxes.shown.first();
    QVERIFY(box.icon == MessageBox::Icon::Critical);
    const QString copy = QDir::toNativeSeparators(data.orderFolder() + QLatin1Char('/') + number + ".pdf");
    QVERIFY2(box.text.contains(QStringLiteral("Fil: ") + copy), qPrintable(box.text));
    QVERIFY2(box.text.contains(QStringLiteral("disken är full")), qPrintable(box.text));

    // Nothing was registered: "Ny" hands out the same number again.
    choose(*window, "mnuNy");
    QCOMPARE(textBox(*window, "txt_OrderNr")->text(), number);

    // With room again the same order goes to the printer and is registered.
    disk.free();
    boxes.shown.clear();
    choose(*window, "mnuPrint");
    QCOMPARE(printerJobs, 1);
    QVERIFY(!printed.isEmpty());
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY2(boxes.shown.first().icon == MessageBox::Icon::Information, qPrintable(boxes.shown.first().text));
    QCOMPARE(readFile(data.orderNumberFile()), QByteArray("1042\r\n"));
    QVERIFY(QFileInfo::exists(copy));
    const QStringList problems = halfWrittenFiles(data.systemFolder());
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void TestFaults::unusualBytesReachTheFilesUnchanged()
{
    // Every byte from 80 to 9F, and a NUL, inside the texts of a product and a
    // customer go to the basket file and the archive as they came.
    QByteArray odd;
    for (int b = 0x80; b <= 0x9F; ++b)
        odd.append(char(b));
    odd.append('\0');
    odd.append("slut");

    SampleFolder folder;
    folder.write("Registret/Produkter.dbf", "\"UDD-1\",\"" + odd + "\",\"st\",\"1.00\"\r\n");
    folder.write("Customer/1004.GetInfo.dbf", "1004\r\n" + odd + "\r\nGatan 1\r\nOrten\r\n");

    MessageBox::Recorder boxes;
    printing::Destinations::Override paper(pdfOnly());
    const ShownWindow window(folder.data());
    workThroughOrder(*window);

    QVERIFY(folder.read("Order/1042.basket.dbf").contains("\"UDD-1\",\"" + odd + "\",\"st\""));
    QVERIFY(folder.read("Order/1042_data1.dbf").startsWith("1004\r\n" + odd + "\r\n"));
    QVERIFY(folder.read("Order/lista.dbf").contains("\",\"1004\",\"" + odd + "\"\r\n"));
    QVERIFY(halfWrittenFiles(folder).isEmpty());
}

void TestFaults::linkInTheDataFolder_data()
{
    QTest::addColumn<QString>("linked");
    QTest::addColumn<bool>("registered");

    QTest::newRow("order list") << "Order/lista.dbf" << false;
    QTest::newRow("basket") << "Order/1042.basket.dbf" << true;
    QTest::newRow("order-number file") << "Registret/OrderNr.dbf" << false;
    QTest::newRow("archive customer file") << "Order/1042_data1.dbf" << false;
    QTest::newRow("archive order-head file") << "Order/1042_data2.dbf" << false;
    QTest::newRow("PDF copy") << "Order/1042.pdf" << false;
    QTest::newRow("journal") << "Skrivbord/<desk>.journal" << false;
    // The program's folder and System itself may be links, to a share say.
    QTest::newRow("System and the program folder") << QString() << true;
}

void TestFaults::linkInTheDataFolder()
{
    QFETCH(QString, linked);
    QFETCH(bool, registered);
    linked.replace(QStringLiteral("<desk>"), datafiles::Desk::ofProcess()->id());
    SampleFolder folder;
    QTemporaryDir outside;
    const QString target = outside.filePath(QStringLiteral(".profile"));
    const QByteArray targetBytes = "PATH=\"$HOME/bin:$PATH\"\n";
    QString programFolder = folder.programFolder();
    if (linked.isEmpty()) {
        QVERIFY(QDir().rename(folder.path(QString()), outside.filePath(QStringLiteral("System"))));
        QVERIFY(QFile::link(outside.filePath(QStringLiteral("System")), folder.path(QString()).chopped(1)));
        programFolder = outside.filePath(QStringLiteral("program"));
        QVERIFY(QFile::link(folder.programFolder(), programFolder));
    } else {
        folder.remove(linked);
        QDir().mkpath(QFileInfo(folder.path(linked)).absolutePath());
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(targetBytes) == targetBytes.size());
        file.close();
        QVERIFY(QFile::link(target, folder.path(linked)));
    }

    MessageBox::Recorder boxes;
    printing::Destinations::Override paper(pdfOnly());
    {
        const ShownWindow window(datafiles::DataDirectory(programFolder),
                                 [] { return QDate(2026, 12, 7).startOfDay(); });
        choose(*window, "mnuNy");
        typeCustomer(*window, QStringLiteral("1004"));
        addFirstProduct(*window);
        window->openOrder().setText(core::Order::VatCode, QStringLiteral("0"));
        choose(*window, "mnuPrint");
    }

    QStringList critical;
    for (const MessageBox::Shown& box : boxes.shown) {
        if (box.icon == MessageBox::Icon::Critical)
            critical << box.text;
    }
    if (linked.isEmpty()) {
        QVERIFY2(critical.isEmpty(), qPrintable(critical.join(u'\n')));
    } else {
        QCOMPARE(readFile(target), targetBytes);
        QVERIFY(QFileInfo(folder.path(linked)).isSymLink());
        // Every failure the operator sees is the link, by its name.
        QVERIFY(!critical.isEmpty());
        for (const QString& text : critical)
            QVERIFY2(text.contains(QStringLiteral("Fil: ") + QDir::toNativeSeparators(folder.path(linked)))
                         && text.contains(QStringLiteral("filen är en symbolisk länk, som programmet inte följer")),
                     qPrintable(text));
    }
    // The registration is whole or not there at all; the linked file itself
    // was looked at above.
    const auto unlinked = [&](const QString& file) {
        return linked != file;
    };
    if (unlinked("Registret/OrderNr.dbf"))
        QCOMPARE(folder.read("Registret/OrderNr.dbf"), registered ? QByteArray("1042\r\n") : QByteArray("1041\r\n"));
    for (const char* archived : { "Order/1042_data1.dbf", "Order/1042_data2.dbf" }) {
        if (unlinked(archived))
            QCOMPARE(folder.exists(QLatin1String(archived)), registered);
    }
    if (unlinked("Order/lista.dbf"))
        QCOMPARE(folder.read("Order/lista.dbf").count("\r\n"), registered ? 1 : 0);
    if (unlinked(folder.data().registrationJournal().section(u'/', -2)))
        QVERIFY(!QFile::exists(folder.data().registrationJournal()));
}

void TestFaults::killedWhileWriting()
{
    TestDataFolder folder;
    const QString path = folder.path("Registret/OrderNr.dbf");
    for (int kill = 0; kill < 12; ++kill) {
        QProcess writer;
        writer.start(QStringLiteral(FAULTWRITER), { path });
        QVERIFY(writer.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path + QStringLiteral(".ready")), 10000);
        QTest::qWait(int(QRandomGenerator::global()->bounded(5, 60)));
        writer.kill();
        writer.waitForFinished();

        const QByteArray bytes = folder.read("Registret/OrderNr.dbf");
        QCOMPARE(bytes.size(), (1 << 20) + 2);
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count(bytes.at(0)), qsizetype(1 << 20));
        QFile::remove(path + QStringLiteral(".ready"));
    }
    // What a killed writer leaves behind is at most its temporary file, never
    // a broken data file.
    for (const QString& name : QDir(folder.path("Registret")).entryList(QDir::Files))
        QVERIFY2(name == QLatin1String("OrderNr.dbf") || name.startsWith(QLatin1String("OrderNr.dbf.")),
                 qPrintable(name));
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
