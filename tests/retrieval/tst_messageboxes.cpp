// Every message box the operator can meet in ordinary work, with its icon, its
// title and its words, reached the way the operator reaches it.

#include "order/order.h"
#include "pickers/frmaddproduct.h"
#include "printing/output/destinations.h"
#include "printing/recordingpage.h"
#include "support/testsupport.h"
#include "widgets/messagebox.h"
#include "widgets/qttranslation.h"
#include "widgets/reportlistview.h"
#include "widgets/textbox.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <memory>
#include <tuple>

namespace {

// The sample order 124 with just line i.
core::Order order124(int i)
{
    core::Order order = sampleOrder();
    order.setLines({ core::OrderLine::fromList(orderLine(i)) });
    return order;
}

} // namespace

class TestMessageBoxes : public QObject
{
    Q_OBJECT

private slots:
    void theBoxesOfTheProgram();
    void qtSpeaksSwedishWhereItsTranslationIsInstalled();
};

void TestMessageBoxes::theBoxesOfTheProgram()
{
    const QString productRegister = QStringLiteral("Registret/Produkter.dbf");
    OrderDesk desk({ { productRegister, "\"ABC-1\",\"Skruv, tr\xE4\",\"st\",\"9.99\"\r\n\"ABC-2\",\"Halv\"\r\n" } });
    desk.folder.copySample(QStringLiteral("Logga.gif"));
    desk.folder.copySample(QStringLiteral("form_listview.gif"));
    QList<printing::PageStep> printed;
    QList<printing::PageStep> kept;
    printing::Destinations paper;
    paper.printer = [&printed](const QString&) {
        return std::make_unique<printing::RecordingPage>(printed);
    };
    paper.pdfCopy = [&kept](QIODevice&, const QString&) {
        return std::make_unique<printing::RecordingPage>(kept);
    };
    printing::Destinations::Override recorded(paper);
    desk.window.showOrder(order124(0));
    QVERIFY(showActive(desk.window));

    // A product register that ends part-way through a product: the picker opens
    // with the complete ones and says so.
    FrmAddProduct* picker = desk.open<FrmAddProduct>("mnuVisa_Produkter");
    QVERIFY(picker);

    // The product search without a match: no icon, the program's title.
    QTest::keyClicks(picker->Text1(), QStringLiteral("zz"));
    QTest::keyClick(picker->Text1(), Qt::Key_Return);

    // The product line that cannot be added, and the lines that cannot be
    // removed, once the order folder is gone.
    desk.folder.remove(QStringLiteral("Order"));
    QTest::mouseClick(picker->Command1(), Qt::LeftButton);
    picker->close();
    desk.lines()->selectRowWithoutScrolling(0);
    desk.choose("mnuMinus");

    // The confirmation once the order is printed and archived.
    QVERIFY(QDir().mkpath(desk.folder.path(QStringLiteral("Order"))));
    desk.window.showOrder(order124(1));
    QVERIFY(showActive(desk.window));
    QTest::keyClick(&desk.window, Qt::Key_F9);

    const QString confirmation = QStringLiteral("Ordernummer: 124\r\n\r\nBergström Bygg AB\r\nIndustrivägen 14\r\n"
                                                "433 38  Partille\r\n\r\nUtskrift pågår...")
        + QString(29, QLatin1Char(' '));
    const QString cutRegister = QStringLiteral("Det gick inte att läsa produktregistret.\r\n\r\nFil: ")
        + QDir::toNativeSeparators(desk.folder.path(productRegister))
        + QStringLiteral("\r\nOrsak: filen slutar mitt i en post; de hela posterna före den används");
    using Icon = MessageBox::Icon;
    const QList<std::tuple<Icon, QString, QString>> expected {
        { Icon::Critical, "Orderregistrering", cutRegister },
        { Icon::None, "Orderregistrering", "Listposten hittades inte!" },
        { Icon::Critical, "Felmeddelande", "Det blev något fel\r\nError: 1001,06" },
        { Icon::Critical, "Felmeddelande", "Det blev något fel\r\nError: 1033,87" },
        { Icon::Information, "Utskrift pågår...", confirmation },
    };
    const QList<MessageBox::Shown>& shown = desk.boxes.shown;
    QCOMPARE(shown.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QCOMPARE(shown.at(i).icon, std::get<0>(expected.at(i)));
        QCOMPARE(shown.at(i).title, std::get<1>(expected.at(i)));
        QCOMPARE(shown.at(i).text, std::get<2>(expected.at(i)));
    }

    // Closing the order window ends the program without a box.
    QVERIFY(desk.window.close());
    QCOMPARE(shown.size(), expected.size());
}

void TestMessageBoxes::qtSpeaksSwedishWhereItsTranslationIsInstalled()
{
    // The first entry of a text box's context menu.
    const auto undo = [] {
        QLineEdit box;
        const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
        return menu->actions().value(0) ? menu->actions().first()->text().section(QLatin1Char('\t'), 0, 0) : QString();
    };

    // Where the translation is missing the program goes on, with Qt's own words.
    QTemporaryDir empty;
    QVERIFY(!installSwedishQtTexts(*qApp, empty.path()));
    QCOMPARE(undo(), QStringLiteral("&Undo"));

    const QString installed = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFileInfo::exists(installed + QStringLiteral("/qt_sv.qm")))
        QSKIP("Qt's Swedish translation (qt6-translations-l10n) is not installed");
    QTranslator* swedish = installSwedishQtTexts(*qApp);
    QVERIFY(swedish);
    const QString translated = undo();
    QCoreApplication::removeTranslator(swedish);
    delete swedish;
    QCOMPARE(translated, QStringLiteral("&Ångra"));
}

QTEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
