// The register windows as the operator meets them from the Register menu, by
// keys and boxes: one customer added, one product edited, one code removed,
// and a price list imported and undone. The rules they apply are the core's,
// tested there.

#include "registers/frmforetaget.h"
#include "registers/frmimport.h"
#include "registers/frmkodregister.h"
#include "registers/frmkunder.h"
#include "registers/frmproduktregister.h"
#include "registers/recordform.h"
#include "support/testsupport.h"
#include "widgets/filedialog.h"
#include "widgets/productregistermodel.h"
#include "widgets/reportlistview.h"
#include "widgets/reporttableview.h"
#include "widgets/textbox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

const QByteArray products = "\"A-1\",\"Skruv\",\"st\",\"1.00\"\r\nA-2,Mutter M8,st,2\r\n";

// Types into the widget that has the focus now, as the operator does.
void typeHere(const QString& text)
{
    for (QChar c : text) {
        // Qt Test types only ASCII by its keys; å, ä and ö come as their text.
        QKeyEvent key(QEvent::KeyPress, c.unicode() < 128 ? QTest::asciiToKey(char(c.unicode())) : 0, Qt::NoModifier,
                      QString(c));
        QApplication::sendEvent(QApplication::focusWidget(), &key);
    }
}

void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
}

} // namespace

class TestRegisterWindows : public QObject
{
    Q_OBJECT

private slots:
    void addCustomer();
    void editProduct();
    void removeStandingCode();
    void importPriceListAndUndo();
    void priceListWithoutItsPriceColumn();
    void companyDetails();
    void emptyProductsAndUndo();
};

void TestRegisterWindows::addCustomer()
{
    OrderDesk desk({ { "Customer/1.GetInfo.dbf", QByteArray("1\r\nKontantkund\r\n\r\n\r\n") } });
    FrmKunder* window = desk.open<FrmKunder>("mnuRegister_Kunder");
    QVERIFY(window && showActive(*window));
    QCOMPARE(rowsOf(window->list()), (QList<QStringList> { { "1", "Kontantkund", "", "" } }));
    QCOMPARE(QApplication::focusWidget(), window->txtSok());
    // Tabbed into, the list has its first row chosen.
    press(Qt::Key_Tab);
    QCOMPARE(window->list()->firstSelectedRow(), 0);
    press(Qt::Key_Tab, Qt::ShiftModifier);

    press(Qt::Key_N, Qt::AltModifier);
    RecordForm* form = nullptr;
    QTRY_VERIFY((form = visibleWindow<RecordForm>("frmKund")));
    QTRY_COMPARE(QApplication::focusWidget(), form->field(0));
    typeHere("1");
    press(Qt::Key_Tab);
    typeHere("Bergström Bygg AB");
    press(Qt::Key_Return);
    // A number the rules refuse is told in a box, and the form stays open.
    QCOMPARE(desk.boxes.shown.last().title, QStringLiteral("Kund"));
    QCOMPARE(desk.boxes.shown.last().text, QStringLiteral("Kunden kan inte sparas: kundnummer 1 finns redan."));
    QVERIFY(form->isVisible());
    press(Qt::Key_Tab, Qt::ShiftModifier);
    typeHere("1042");
    press(Qt::Key_Return);
    QVERIFY(!form->isVisible());
    QCOMPARE(rowsOf(window->list()).last(), (QStringList { "1042", "Bergström Bygg AB", "", "" }));

    // Enter in the search box opens the row found.
    QTest::keyClicks(window->txtSok(), QStringLiteral("berg"));
    QTest::keyClick(window->txtSok(), Qt::Key_Return);
    QTRY_VERIFY((form = visibleWindow<RecordForm>("frmKund")));
    QCOMPARE(form->field(0)->text(), QStringLiteral("1042"));
}

void TestRegisterWindows::editProduct()
{
    OrderDesk desk({ { "Registret/Produkter.dbf", products } });
    FrmProduktregister* window = desk.open<FrmProduktregister>("mnuRegister_Produkter");
    QVERIFY(window && showActive(*window));
    typeHere("m8"); // a word of the description
    QCOMPARE(window->list()->model()->rowCount(), 1);
    for (const QByteArray& onDisk : { products + "B-1,Bult,st,7\r\n", QByteArray() }) {
        QVERIFY(showActive(*window));
        press(Qt::Key_Down);
        press(Qt::Key_Return);
        RecordForm* form = visibleWindow<RecordForm>("frmProdukt");
        QVERIFY(form);
        QTRY_COMPARE(QApplication::focusWidget(), form->field(1));
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        typeHere("2,5");
        // Another desk changes the register first: the list is read afresh,
        // and the form closes.
        if (!onDisk.isNull())
            desk.folder.write("Registret/Produkter.dbf", onDisk);
        press(Qt::Key_Return);
        QVERIFY(!form->isVisible());
    }
    QVERIFY(desk.boxes.shown.last().text.contains("det läses nu in på nytt, gör ändringen igen"));
    QCOMPARE(window->products()->products().recordCount(), 3);
    QCOMPARE(rowsOf(window->list()), (QList<QStringList> { { "A-2", "Mutter M8", "st", "2.50" } }));
    // A product another desk adds while no form is open is listed too.
    desk.folder.write("Registret/Produkter.dbf",
                      desk.folder.read("Registret/Produkter.dbf")
                          + "\"C-1\",\"Mutter M8 rostfri\",\"st\",\"4.00\"\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(window->list()->model()->rowCount(), 2, 3000);
}

void TestRegisterWindows::removeStandingCode()
{
    const QByteArray codes = "\"0\",\"Normalvillkor\"\r\n\"1\",\"30 dagar netto\"\r\n";
    OrderDesk desk({ { "Registret/Betalningsvillkor.dbf", codes } });
    FrmKodregister* window = desk.open<FrmKodregister>("mnuRegister_Betk");
    QVERIFY(window && showActive(*window));
    QCOMPARE(QApplication::focusWidget(), window->list());
    press(Qt::Key_Delete);
    QCOMPARE(desk.boxes.shown.last().text, QStringLiteral("Välj först en rad i listan."));
    press(Qt::Key_Down);
    desk.boxes.answers = { false, true };
    press(Qt::Key_Delete);
    QCOMPARE(desk.folder.read("Registret/Betalningsvillkor.dbf"), codes);
    QVERIFY(desk.boxes.shown.last().text.startsWith("Koden 0 är den som \"Ny\" sätter i varje ny order."));
    press(Qt::Key_Delete);
    QCOMPARE(rowsOf(window->list()), (QList<QStringList> { { "1", "30 dagar netto" } }));
}

void TestRegisterWindows::importPriceListAndUndo()
{
    OrderDesk desk({ { "Registret/Produkter.dbf", products } });
    desk.folder.write("prislista.csv",
                      "Artikelnr;Benämning;Enhet;Pris\r\nA-1;Skruv;st;1,00\r\nA-2;Mutter M8;st;2,40\r\n");
    const FileDialog::Answers chosen({ desk.folder.path("prislista.csv") });
    FrmImport* window = desk.open<FrmImport>("mnuRegister_ImporteraPrislista");
    QVERIFY(window && showActive(*window));
    QCOMPARE(rowsOf(window->previewList()).last(), (QStringList { "Ändrad", "3", "A-2", "A-pris 2 → 2.40" }));
    QVERIFY(!window->cmdAngra()->isEnabled());

    // A button's access key presses it as a click does, a moment later.
    press(Qt::Key_I, Qt::AltModifier);
    QTRY_COMPARE(desk.boxes.shown.size(), 1);
    QCOMPARE(desk.boxes.shown.last().text, QStringLiteral("Importen är klar: 0 nya och 1 ändrade produkter."));
    QVERIFY(window->cmdAngra()->isEnabled());

    desk.boxes.answers = { true };
    press(Qt::Key_G, Qt::AltModifier);
    QTRY_COMPARE(desk.folder.read("Registret/Produkter.dbf"), products);
    QCOMPARE(desk.boxes.shown.last().text, QStringLiteral("Den senaste importen är ångrad."));
}

void TestRegisterWindows::priceListWithoutItsPriceColumn()
{
    OrderDesk desk({ { "Registret/Produkter.dbf", products } });
    desk.folder.write("prislista.csv", "Artikelnr;Benämning;Pris inkl. moms;Netto\r\nA-1;Skruv;1,25;1,00\r\n");
    const FileDialog::Answers chosen({ desk.folder.path("prislista.csv") });
    FrmImport* window = desk.open<FrmImport>("mnuRegister_ImporteraPrislista");
    QVERIFY(window && showActive(*window));
    QVERIFY(window->findChild<QLabel*>("lblAntal")->text().startsWith("Ingen kolumn är vald för Pris"));
    QVERIFY(!window->optBaraPriser()->isEnabled());
    window->column(3)->setCurrentIndex(4); // "Kolumn 4: Netto"
    window->optBaraPriser()->setChecked(true);
    QCOMPARE(rowsOf(window->previewList()), (QList<QStringList> { { "Oförändrad", "2", "A-1", "" } }));
    window->column(3)->setCurrentIndex(0); // "(ingen)"
    QVERIFY(!window->optBaraPriser()->isChecked() && !window->optBaraPriser()->isEnabled());
}

// The business's details typed by keys: a wrong organisation number is
// refused with its field named and nothing written; a logo chosen is made to
// fit the logo's box and printed in place of Logga.gif.
void TestRegisterWindows::companyDetails()
{
    OrderDesk desk;
    QImage wide(380, 120, QImage::Format_RGB32);
    wide.fill(Qt::red);
    QVERIFY(wide.save(desk.folder.path("logga.jpg")));
    const FileDialog::Answers chosen({ desk.folder.path("logga.jpg") });
    // The window deletes itself when it closes.
    QPointer<FrmForetaget> window = desk.open<FrmForetaget>("mnuRegister_Foretaget");
    QVERIFY(window && showActive(*window));
    typeHere(QStringLiteral("Järnhandeln AB"));
    press(Qt::Key_O, Qt::AltModifier);
    typeHere(QStringLiteral("556677-8898"));
    press(Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(window->chkFskatt()->isChecked());
    press(Qt::Key_Y, Qt::AltModifier);
    QTRY_COMPARE(window->lblLogga()->pixmap().size(), QSize(95, 30));
    press(Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(desk.boxes.shown.size(), 1);
    QVERIFY(desk.boxes.shown.last().text.contains(QStringLiteral("Organisationsnummer: kontrollsiffran")));
    QVERIFY(!desk.folder.exists("Registret/Företaget.dbf") && !desk.folder.exists("Logga.png"));

    window->box("txtOrgNr")->setText(QStringLiteral("5566778899"));
    desk.folder.write("Registret/OrderNr.dbf", "120\r\n");
    window->box("txtNastaOrderNr")->setText(QStringLiteral("500"));
    press(Qt::Key_S, Qt::AltModifier);
    QTRY_VERIFY(!window || !window->isVisible());
    QCOMPARE(desk.folder.read("Registret/Företaget.dbf"),
             QByteArray("\"Namn\",\"J\xe4rnhandeln AB\"\r\n\"Organisationsnummer\",\"556677-8899\"\r\n"
                        "\"F-skatt\",\"Ja\"\r\n"));
    QCOMPARE(desk.folder.read("Registret/OrderNr.dbf"), QByteArray("499\r\n"));
    QCOMPARE(desk.folder.data().logoImage(), desk.folder.path("Logga.png"));
    QCOMPARE(QImage(desk.folder.path("Logga.png")).size(), QSize(95, 30));
}

// "Töm registret…" asks, naming the count; the register is kept for "Ångra
// tömningen", which puts back its bytes.
void TestRegisterWindows::emptyProductsAndUndo()
{
    OrderDesk desk({ { "Registret/Produkter.dbf", products } });
    FrmProduktregister* window = desk.open<FrmProduktregister>("mnuRegister_Produkter");
    QVERIFY(window && showActive(*window));
    QVERIFY(window->cmdAngraTomning()->isHidden());
    desk.boxes.answers = { true };
    press(Qt::Key_Odiaeresis, Qt::AltModifier);
    QTRY_COMPARE(desk.folder.read("Registret/Produkter.dbf"), QByteArray());
    QVERIFY(
        desk.boxes.shown.last().text.startsWith(QStringLiteral("Ta bort alla 2 produkter ur registret Produkter?")));
    QCOMPARE(window->list()->model()->rowCount(), 0);
    QVERIFY(!window->cmdAngraTomning()->isHidden());

    desk.boxes.answers = { true };
    press(Qt::Key_Aring, Qt::AltModifier);
    QTRY_COMPARE(desk.folder.read("Registret/Produkter.dbf"), products);
    QCOMPARE(window->list()->model()->rowCount(), 2);
    QVERIFY(window->cmdAngraTomning()->isHidden());
}

QTEST_MAIN(TestRegisterWindows)
#include "tst_registerwindows.moc"
