// The program is built in layers, lowest first: the data files, the order core,
// the printed order, the printer and PDF back ends, the shared controls, the
// windows the order window opens, the order window, and main.cpp. A file may
// include from its own folder and from the layers below it, never from above:
// so the order stays printable without a window and no window closes a circle
// with another. The three lowest layers must not see a widget either.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <iterator>
#include <optional>

namespace {

struct Layer
{
    QString folder; // under src/
    int rank;
    QStringList forbiddenQtModules;
};

const QStringList noGui { "QtGui", "QtWidgets", "QtPrintSupport", "QtPdf", "QtPdfWidgets" };
const QStringList noWidgets { "QtWidgets", "QtPrintSupport", "QtPdfWidgets" };

const QList<Layer>& layers()
{
    static const QList<Layer> all {
        { "datafiles", 0, noGui },
        { "order", 1, noGui },
        { "office", 2, noGui },
        { "printing", 2, noWidgets },
        { "printing/output", 3, { "QtWidgets", "QtPdfWidgets" } },
        { "printjob", 4, { "QtWidgets", "QtPdfWidgets" } },
        { "widgets", 4, {} },
        { "pickers", 5, {} },
        { "retrieval", 5, {} },
        { "history", 5, {} },
        { "registers", 5, {} },
        { "officewindows", 5, {} },
        { "orderwindow", 6, {} },
        { "main.cpp", 7, {} },
    };
    return all;
}

// The layer a path under src/ belongs to: the longest folder it lies in.
std::optional<Layer> layerOf(const QString& path)
{
    std::optional<Layer> found;
    for (const Layer& layer : layers()) {
        const bool inside = path == layer.folder || path.startsWith(layer.folder + QLatin1Char('/'));
        if (inside && (!found || layer.folder.size() > found->folder.size()))
            found = layer;
    }
    return found;
}

// Which Qt module a header such as <QWidget> or <QtWidgets/QWidget> comes from.
class QtHeaders
{
public:
    explicit QtHeaders(const QString& includeRoot)
    {
        for (const QString& module : QDir(includeRoot).entryList({ "Qt*" }, QDir::Dirs)) {
            for (const QString& header : QDir(includeRoot + QLatin1Char('/') + module).entryList(QDir::Files))
                m_modules.insert(header, module);
        }
    }

    QString moduleOf(const QString& header) const
    {
        if (const qsizetype slash = header.indexOf(QLatin1Char('/')); slash > 0)
            return header.left(slash);
        return m_modules.value(header);
    }

    bool isEmpty() const { return m_modules.isEmpty(); }

private:
    QHash<QString, QString> m_modules;
};

// What is wrong with the includes of one file of src/, given its path there.
QStringList layerFaults(const QString& path, const QString& source, const QtHeaders& qt)
{
    static const QRegularExpression include(QStringLiteral(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])"),
                                            QRegularExpression::MultilineOption);
    QStringList faults;
    const std::optional<Layer> own = layerOf(path);
    if (!own)
        return { QStringLiteral("%1 lies in no layer").arg(path) };
    const QString folder = QFileInfo(path).path();
    for (auto it = include.globalMatch(source); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString target = match.captured(2);
        if (match.captured(1) == QLatin1String("\"")) {
            if (!target.contains(QLatin1Char('/')))
                continue; // a file of the same folder
            const std::optional<Layer> included = layerOf(target);
            const bool sameFolder = QFileInfo(target).path() == folder;
            if (!included)
                faults.append(QStringLiteral("%1 includes %2, which lies in no layer").arg(path, target));
            else if (!sameFolder && included->rank >= own->rank)
                faults.append(QStringLiteral("%1 includes %2 from a layer not below its own").arg(path, target));
        } else if (const QString module = qt.moduleOf(target); own->forbiddenQtModules.contains(module)) {
            faults.append(QStringLiteral("%1 includes <%2> from %3").arg(path, target, module));
        }
    }
    return faults;
}

// Where a file outside the order core names an order's own files, which only
// the core writes: the basket, the order-number file and the archive.
QStringList orderFileWrites(const QString& path, const QString& source)
{
    static const QRegularExpression orderFile(QStringLiteral(
        R"(\b(basketFile|orderNumberFile|archiveCustomerFile|archiveOrderHeadFile|archiveLinesFile|appendToBasket|rewriteBasket)\s*\()"));
    if (path.startsWith(QLatin1String("order/")) || path.startsWith(QLatin1String("datafiles/")))
        return {};
    QStringList faults;
    for (auto it = orderFile.globalMatch(source); it.hasNext();)
        faults.append(QStringLiteral("%1 names %2").arg(path, it.next().captured(1)));
    return faults;
}

// A read or removal the program makes where it may not meet a link, allowed
// by its file and a piece of its text: each reads a file the operator chose
// outside System, or none of the program's files at all.
struct AllowedRead
{
    const char* path;
    const char* text;
};
const AllowedRead allowedReads[] = {
    { "registers/frmimport.cpp", "readChosenFile(file)" }, // the price or customer list chosen
    { "registers/frmforetaget.cpp", "readChosenFile(path)" }, // the logo chosen
    { "office/backupzip.cpp", "readChosenFile(zipPath)" }, // the backup zip file chosen
    { "office/backupzip.cpp", "archive_read_open_filename(a.get(), QFile::encodeName(zipPath)" },
    { "office/backupzip.cpp", "QFile file(zipPath)" },
    { "office/mail.cpp", "QFile file(entryFile)" }, // the desktop's entries for its mail programs
    { "datafiles/desks.cpp", "QFile stat(QStringLiteral(\"/proc/%1/stat\")" }, // whether a desk's process runs
    { "widgets/qttranslation.cpp", "->load(file)" }, // Qt's own Swedish texts
    { "history/pdfwindow.cpp", "->load(m_buffer)" }, // bytes read already
    { "datafiles/textfile.h", "readChosenFile(const QString& path)" },
    { "datafiles/textfile.cpp", "readChosenFile(const QString& path)" },
    { "datafiles/textfile.cpp", "| follow)" }, // readChosenFile(), and a folder such as Customer
};

// Where a file of src/ reads or removes a file in a way that may follow a link
// in its place: a tree removed by Qt, a file opened by its name without
// O_NOFOLLOW, or handed by name to a reader that opens it itself.
QStringList linkFollowingReads(const QString& path, QString source)
{
    static const QRegularExpression comment(QStringLiteral(R"(//[^\n]*)"));
    source.remove(comment);
    static const QRegularExpression byName(QStringLiteral(
        R"(\bremoveRecursively\b|(?<![\w:])::open(at)?\s*\([^;]*;|\bfopen\s*\(|\bifstream\b|\bQImageReader\s*\w*\s*\(\s*[^&)\s][^;]*)"
        R"(|(\.|->)load\s*\([^;]*|\bcupsPrintFiles?\s*\([^;]*|\barchive_read_open_filename\s*\([^;]*|\breadChosenFile\s*\([^;]*)"));
    static const QRegularExpression fileRead(QStringLiteral(R"(\b(\w+)(\.|->)open\(\s*(QIODevice|QFile)::Read)"));
    QStringList found;
    for (auto it = byName.globalMatch(source); it.hasNext();) {
        const QString call = it.next().captured(0).simplified();
        if (call.contains(QLatin1String("::open"))
            && (call.contains(QLatin1String("O_NOFOLLOW")) || call.contains(QLatin1String("O_DIRECTORY"))))
            continue;
        found.append(call);
    }
    for (auto it = fileRead.globalMatch(source); it.hasNext();) {
        const QString name = it.next().captured(1);
        const QRegularExpression declared(QStringLiteral(R"(\bQFile\s*\*?\s*%1\s*\(([^;]*)\);)").arg(name));
        if (const QRegularExpressionMatch file = declared.match(source); file.hasMatch())
            found.append(file.captured(0).simplified());
    }
    QStringList faults;
    for (const QString& call : std::as_const(found)) {
        const bool allowed = std::any_of(std::begin(allowedReads), std::end(allowedReads), [&](const AllowedRead& a) {
            return path == QLatin1String(a.path) && call.contains(QLatin1String(a.text));
        });
        if (!allowed)
            faults.append(QStringLiteral("%1: %2").arg(path, call));
    }
    return faults;
}

QString readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QStringList sourceFiles(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, { "*.h", "*.cpp" }, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    return files;
}

const QString sourceRoot = QStringLiteral(SOURCE_DIR);

} // namespace

class TestLayers : public QObject
{
    Q_OBJECT

private slots:
    void theCheckCatchesAWrongInclude_data();
    void theCheckCatchesAWrongInclude();
    void everyFileIncludesOnlyFromBelow();
    void onlyMainOpensTheOrderWindowsOwnHeader();
    void onlyTheCoreWritesAnOrdersFiles();
    void theLinkCheckCatchesAReadThroughALink_data();
    void theLinkCheckCatchesAReadThroughALink();
    void nothingIsReadOrRemovedThroughALink();
};

void TestLayers::theCheckCatchesAWrongInclude_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("fault");

    QTest::newRow("core includes a window") << "order/order.cpp"
                                            << "#include \"orderwindow/orderwindow.h\"\n"
                                            << true;
    QTest::newRow("core includes the printed form") << "order/totals.cpp"
                                                    << "#include \"printing/page.h\"\n"
                                                    << true;
    QTest::newRow("rendering includes a widget") << "printing/page.cpp"
                                                 << "#include <QWidget>\n"
                                                 << true;
    QTest::newRow("rendering includes a printer") << "printing/page.cpp"
                                                  << "#  include <QPrinter>\n"
                                                  << true;
    QTest::newRow("data files include a picture") << "datafiles/records.cpp"
                                                  << "#include <QtGui/QImage>\n"
                                                  << true;
    QTest::newRow("picker includes retrieval") << "pickers/x.cpp"
                                               << "#include \"retrieval/frmgetinfo.h\"\n"
                                               << true;
    QTest::newRow("back end includes the rendering") << "printing/output/x.cpp"
                                                     << "#include \"printing/page.h\"\n"
                                                     << false;
    QTest::newRow("rendering includes a back end") << "printing/page.cpp"
                                                   << "#include \"printing/output/x.h\"\n"
                                                   << true;
    QTest::newRow("window includes the core") << "orderwindow/x.cpp"
                                              << "#include \"order/order.h\"\n"
                                              << false;
    QTest::newRow("own folder") << "order/order.cpp"
                                << "#include \"order.h\"\n#include <QString>\n"
                                << false;
}

void TestLayers::theCheckCatchesAWrongInclude()
{
    QFETCH(QString, path);
    QFETCH(QString, source);
    QFETCH(bool, fault);

    const QtHeaders qt(QStringLiteral(QT_INCLUDE_ROOT));
    QVERIFY(!qt.isEmpty());
    QCOMPARE(!layerFaults(path, source, qt).isEmpty(), fault);
}

void TestLayers::everyFileIncludesOnlyFromBelow()
{
    const QtHeaders qt(QStringLiteral(QT_INCLUDE_ROOT));
    const QStringList files = sourceFiles(sourceRoot);
    QVERIFY(files.size() > 40);
    QStringList faults;
    for (const QString& file : files)
        faults += layerFaults(QDir(sourceRoot).relativeFilePath(file), readAll(file), qt);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestLayers::onlyMainOpensTheOrderWindowsOwnHeader()
{
    const QDir project(QStringLiteral(PROJECT_DIR));
    QStringList faults;
    for (const char* folder : { "src", "tests", "bench", "fuzz" }) {
        for (const QString& file : sourceFiles(project.filePath(QLatin1String(folder)))) {
            const QString path = project.relativeFilePath(file);
            if (path.startsWith(QLatin1String("src/orderwindow/")) || path == QLatin1String("src/main.cpp"))
                continue;
            if (readAll(file).contains(QLatin1String("orderwindow/") + QLatin1String("frmmain.h")))
                faults.append(path);
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestLayers::onlyTheCoreWritesAnOrdersFiles()
{
    // Planted: a window that writes a basket, and the core doing the same.
    QVERIFY(!orderFileWrites("pickers/x.cpp", "core::appendToBasket(data, nr, lines);").isEmpty());
    QVERIFY(!orderFileWrites("orderwindow/x.cpp", "replaceFile(data.orderNumberFile (), bytes);").isEmpty());
    QVERIFY(orderFileWrites("order/openorder.cpp", "rewriteBasket(m_data, nr, lines);").isEmpty());

    QStringList faults;
    for (const QString& file : sourceFiles(sourceRoot))
        faults += orderFileWrites(QDir(sourceRoot).relativeFilePath(file), readAll(file));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestLayers::theLinkCheckCatchesAReadThroughALink_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("fault");

    QTest::newRow("a tree removed by Qt") << "order/importing.cpp"
                                          << "QDir(kept).removeRecursively();" << true;
    QTest::newRow("a data file opened by its name")
        << "order/registration.cpp"
        << "QFile file(list);\nif (file.open(QIODevice::ReadOnly)) {}" << true;
    QTest::newRow("a file opened without O_NOFOLLOW")
        << "datafiles/textfile.cpp"
        << "const int fd = ::open(QFile::encodeName(path).constData(),\n O_RDONLY | O_CLOEXEC);" << true;
    QTest::newRow("an image read by its name") << "printing/page.cpp"
                                               << "QImageReader reader(file);" << true;
    QTest::newRow("a copy printed by its name") << "printing/output/reprint.cpp"
                                                << "cupsPrintFile(name, file.constData(), t, 0, nullptr);" << true;
    QTest::newRow("a data file read as if chosen") << "order/importing.cpp"
                                                   << "readChosenFile(data.productRegister());" << true;
    QTest::newRow("opened without following") << "datafiles/textfile.cpp"
                                              << "::open(name, O_RDONLY | O_NOFOLLOW);" << false;
    QTest::newRow("through the data files' reader")
        << "order/registration.cpp"
        << "QFile file(list);\nif (!datafiles::openToRead(file)) {}" << false;
    QTest::newRow("an image from bytes") << "printing/page.cpp"
                                         << "QImageReader reader(&buffer); // QImageReader reader(file)" << false;
    QTest::newRow("the list the operator chose") << "registers/frmimport.cpp"
                                                 << "readChosenFile(file);" << false;
}

void TestLayers::theLinkCheckCatchesAReadThroughALink()
{
    QFETCH(QString, path);
    QFETCH(QString, source);
    QFETCH(bool, fault);
    QCOMPARE(!linkFollowingReads(path, source).isEmpty(), fault);
}

void TestLayers::nothingIsReadOrRemovedThroughALink()
{
    QStringList faults;
    for (const QString& file : sourceFiles(sourceRoot))
        faults += linkFollowingReads(QDir(sourceRoot).relativeFilePath(file), readAll(file));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestLayers)
#include "tst_layers.moc"
