// The register windows as the operator meets them from the Register menu, by
// keys: one customer added, one product edited, one code removed, and a price
// list imported from the file's choice to the written register and back.

#include "pickers/frmaddproduct.h"
#include "registers/frmimport.h"
#include "registers/frmkodregister.h"
#include "registers/frmkunder.h"
#include "registers/frmproduktregister.h"
#include "registers/recordform.h"
#include "support/testsupport.h"
#include "widgets/filedialog.h"
#include "widgets/reportlistview.h"
#include "widgets/reporttableview.h"
#include "widgets/textbox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
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
};

void TestRegisterWindows::addCustomer()
{
    OrderDesk desk({ { "Customer/1.GetInfo.dbf", QByteArray("1\r\nKontantkund\r\n\r\n\r\n") } });
    FrmKunder* window = desk.open<FrmKunder>("mnuRegister_Kunder");
    QVERIFY(window && showActive(*window));
    QCOMPARE(rowsOf(window->list()), (QList<QStringList> { { "1", "Kontantkund", "", "" } }));
    QCOMPARE(QApplication::focusWidget(), window->txtSok());

    press(Qt::Key_N, Qt::AltModifier);
    RecordForm* form = nullptr;
    QTRY_VERIFY((form = visibleWindow<RecordForm>("frmKund")));
    QTRY_COMPARE(QApplication::focusWidget(), form->field(0));
    typeHere("1042");
    for (const char* line : { "Bergström Bygg AB", "Industrivägen 14", "433 38  Partille" }) {
        press(Qt::Key_Tab);
        typeHere(QString::fromUtf8(line));
    }
    press(Qt::Key_Return);
    QVERIFY(!form->isVisible());
    QCOMPARE(desk.folder.read("Customer/1042.GetInfo.dbf"),
             QByteArray("1042\r\nBergstr\xF6m Bygg AB\r\nIndustriv\xE4gen 14\r\n433 38  Partille\r\n"));
    QCOMPARE(window->list()->model()->rowCount(), 2);

    // The order window's lookup finds the customer at once.
    QTest::keyClicks(desk.box("txt_KundField0"), "1042");
    QTest::keyClick(desk.box("txt_KundField0"), Qt::Key_Return);
    QCOMPARE(desk.box("txt_KundField1")->text(), QStringLiteral("Bergström Bygg AB"));
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestRegisterWindows::editProduct()
{
    OrderDesk desk({ { "Registret/Produkter.dbf", products } });
    FrmProduktregister* window = desk.open<FrmProduktregister>("mnuRegister_Produkter");
    QVERIFY(window && showActive(*window));
    typeHere("m8"); // a word of the description
    QCOMPARE(window->list()->model()->rowCount(), 1);
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    RecordForm* form = visibleWindow<RecordForm>("frmProdukt");
    QVERIFY(form);
    QTRY_COMPARE(QApplication::focusWidget(), form->field(1));
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    typeHere("2,5");
    press(Qt::Key_Return);
    QVERIFY(!form->isVisible());
    QCOMPARE(desk.folder.read("Registret/Produkter.dbf"),
             products.left(products.indexOf("A-2")) + "\"A-2\",\"Mutter M8\",\"st\",\"2.50\"\r\n");

    // F12 lists it so at once.
    auto* picker = desk.open<FrmAddProduct>("mnuVisa_Produkter");
    QVERIFY(picker);
    QCOMPARE(rowsOf(picker->productList()).last(), (QStringList { "A-2", "Mutter M8", "st", "2.50" }));
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestRegisterWindows::removeStandingCode()
{
    const QByteArray codes = "\"0\",\"Normalvillkor\"\r\n\"1\",\"30 dagar netto\"\r\n";
    OrderDesk desk({ { "Registret/Betalningsvillkor.dbf", codes } });
    FrmKodregister* window = desk.open<FrmKodregister>("mnuRegister_Betk");
    QVERIFY(window && showActive(*window));
    QCOMPARE(QApplication::focusWidget(), window->list());
    press(Qt::Key_Down);
    desk.boxes.answers = { false, true };
    press(Qt::Key_Delete);
    QCOMPARE(desk.folder.read("Registret/Betalningsvillkor.dbf"), codes);
    QVERIFY(desk.boxes.shown.last().text.startsWith("Koden 0 är den som \"Ny\" sätter i varje ny order."));
    press(Qt::Key_Delete);
    QCOMPARE(desk.folder.read("Registret/Betalningsvillkor.dbf"), QByteArray("\"1\",\"30 dagar netto\"\r\n"));
    QCOMPARE(rowsOf(window->list()), (QList<QStringList> { { "1", "30 dagar netto" } }));
}

void TestRegisterWindows::importPriceListAndUndo()
{
    OrderDesk desk({ { "Registret/Produkter.dbf", products } });
    desk.folder.write("prislista.csv",
                      "\xEF\xBB\xBF"
                      "Artikelnr;Benämning;Enhet;Pris\r\nA-1;Skruv;st;1,00\r\n"
                      "A-2;Mutter M8;st;2,40\r\nB-1;Bult;st;7,5\r\nB-2;Bult;st;sju\r\n");
    const FileDialog::Answers chosen({ desk.folder.path("prislista.csv") });
    FrmImport* window = desk.open<FrmImport>("mnuRegister_ImporteraPrislista");
    QVERIFY(window && showActive(*window));
    QCOMPARE(rowsOf(window->previewList()),
             (QList<QStringList> { { "Oförändrad", "2", "A-1", "" },
                                   { "Ändrad", "3", "A-2", "A-pris 2 → 2.40" },
                                   { "Ny", "4", "B-1", "\"Bult\", \"st\", 7.50" },
                                   { "Avvisad", "5", "B-2", "priset \"sju\" är inte ett tal" } }));
    QVERIFY(!window->cmdAngra()->isEnabled());

    // A button's access key presses it as a click does, a moment later.
    press(Qt::Key_I, Qt::AltModifier);
    QTRY_COMPARE(desk.folder.read("Registret/Produkter.dbf"),
                 products.left(products.indexOf("A-2"))
                     + "\"A-2\",\"Mutter M8\",\"st\",\"2.40\"\r\n\"B-1\",\"Bult\",\"st\",\"7.50\"\r\n");
    QCOMPARE(desk.boxes.shown.last().text, QStringLiteral("Importen är klar: 1 nya och 1 ändrade produkter."));
    QVERIFY(window->cmdAngra()->isEnabled());

    desk.boxes.answers = { true };
    press(Qt::Key_G, Qt::AltModifier);
    QTRY_COMPARE(desk.folder.read("Registret/Produkter.dbf"), products);
    QCOMPARE(desk.boxes.shown.last().text, QStringLiteral("Den senaste importen är ångrad."));
}

QTEST_MAIN(TestRegisterWindows)
#include "tst_registerwindows.moc"
