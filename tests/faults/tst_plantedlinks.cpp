// Links planted where the program keeps its own files and folders, each
// pointing outside the data folder at a file or folder of known bytes, and the
// operator's real commands run over them: what the link points at keeps its
// bytes, and the box tells the operator the link by its name.

#include "orderwindow/deskstart.h"
#include "registers/frmimport.h"
#include "support/testsupport.h"
#include "widgets/filedialog.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A price list or a customer list imported, or the last import undone, from
// the import window as the operator does it; a window refused at its opening
// has said why in its box.
void importWindow(OrderDesk& desk, const QString& run)
{
    const bool prices = run.contains(QLatin1String("prislista"));
    const FileDialog::Answers chosen({ desk.folder.path(prices ? "prislista.csv" : "kundlista.csv") });
    auto* window = desk.open<FrmImport>(prices ? "mnuRegister_ImporteraPrislista" : "mnuRegister_ImporteraKundlista");
    if (!window)
        return;
    QPushButton* button = run.startsWith(QStringLiteral("ångra")) ? window->cmdAngra() : window->cmdImportera();
    desk.boxes.answers = { true };
    if (button->isEnabled())
        button->click();
    window->close();
}

// The program started afresh on the folder, as main() starts it.
void start(OrderDesk& desk)
{
    const std::unique_ptr<DeskStart> started = startDesk(desk.folder.data());
    QVERIFY(started->window);
}

const QStringList importUndoAndStart { "importera prislista", "importera kundlista", "ångra prislista",
                                       "ångra kundlista", "start" };

} // namespace

class TestPlantedLinks : public QObject
{
    Q_OBJECT

private slots:
    void nothingBehindALinkIsReadOrRemoved_data();
    void nothingBehindALinkIsReadOrRemoved();
};

void TestPlantedLinks::nothingBehindALinkIsReadOrRemoved_data()
{
    QTest::addColumn<QString>("link"); // under the program folder
    QTest::addColumn<bool>("toFolder"); // else to a file
    QTest::addColumn<QStringList>("runs");

    QTest::newRow("Customer.före-import") << "System/Customer.före-import" << true << importUndoAndStart;
    QTest::newRow("Produkter.dbf.före-import")
        << "System/Registret/Produkter.dbf.före-import" << false << importUndoAndStart;
    QTest::newRow("a customer file") << "System/Customer/1001.GetInfo.dbf" << false << importUndoAndStart;
    QTest::newRow("System.återställs-x") << "System.återställs-x" << true << importUndoAndStart;
    QTest::newRow("System.återställs-x inside System")
        << "System/System.återställs-x" << true << importUndoAndStart;
}

void TestPlantedLinks::nothingBehindALinkIsReadOrRemoved()
{
    QFETCH(QString, link);
    QFETCH(bool, toFolder);
    QFETCH(QStringList, runs);
    OrderDesk desk({ { "Registret/OrderNr.dbf", "1047\r\n" },
                     { "Registret/Produkter.dbf", "\"A-1\",\"Skruv\",\"st\",\"1.00\"\r\n" },
                     { "Customer/1.GetInfo.dbf", "1\r\nKontantkund\r\n\r\n\r\n" },
                     { "Customer/1001.GetInfo.dbf", "1001\r\nBerg\r\n\r\n\r\n" },
                     { "prislista.csv", "Artikelnr;Benämning;Enhet;Pris\r\nA-1;Skruv;st;1,50\r\n" },
                     { "kundlista.csv", "Kundnr;Namn\r\n1001;Berg AB\r\n2001;Ny kund\r\n" } });

    // What the operator keeps privately: a folder laid out as the program's
    // own would be, with the names the start clears away, or one file.
    QTemporaryDir outside;
    writeFileAt(outside.filePath("privat/1001.GetInfo.dbf"), "1001\r\nPrivat\r\n");
    writeFileAt(outside.filePath("privat/tillagda.txt"), "1001\r\n");
    writeFileAt(outside.filePath("privat/1001.GetInfo.dbf.Ab12Cd"), "halvskriven");
    writeFileAt(outside.filePath("privat/inre/brev.txt"), "Hej");
    writeFileAt(outside.filePath("privat.txt"), "\"A-9\",\"Hemlig\",\"st\",\"9.00\"\r\n");
    const QMap<QString, QByteArray> before = treeOf(outside.path());
    const QString linkPath = desk.folder.programFolder() + u'/' + link;
    QFile::remove(linkPath);
    QVERIFY(QFile::link(outside.filePath(toFolder ? "privat" : "privat.txt"), linkPath));

    for (const QString& run : runs) {
        if (run == QLatin1String("start"))
            start(desk);
        else
            importWindow(desk, run);
    }

    QCOMPARE(treeOf(outside.path()), before);
    // Nor were its bytes read into the data folder, where the group reads them.
    const QMap<QString, QByteArray> system = treeOf(desk.folder.programFolder());
    for (auto file = system.cbegin(); file != system.cend(); ++file) {
        if (desk.folder.programFolder() + u'/' + file.key() != linkPath && !file.key().startsWith(link + u'/'))
            QVERIFY2(!file.value().contains("Privat") && !file.value().contains("Hemlig"), qPrintable(file.key()));
    }
    const QString named = QDir::toNativeSeparators(linkPath);
    bool told = false;
    for (const MessageBox::Shown& box : std::as_const(desk.boxes.shown)) {
        told = told || box.text.contains(named);
        // Nothing else went wrong.
        if (box.icon == MessageBox::Icon::Critical)
            QVERIFY2(box.text.contains(QStringLiteral("Fil: ") + named), qPrintable(box.text));
    }
    QVERIFY(told);
}

QTEST_MAIN(TestPlantedLinks)
#include "tst_plantedlinks.moc"
