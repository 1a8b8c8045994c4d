// The product picker as the operator uses it: finding a product, taking it
// over, typing quantity and discount and adding the line to the order.

#include "datafiles/records.h"
#include "order/order.h"
#include "pickers/frmaddproduct.h"
#include "support/testsupport.h"
#include "widgets/messagebox.h"
#include "widgets/productregistermodel.h"
#include "widgets/reportlistview.h"
#include "widgets/textbox.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using Rows = QList<QStringList>;

namespace {

const QByteArray sampleRegister = "\"TS35-25\",\"Tr\xE4skruv f\xF6rzinkad\",\"f\xF6rp\",\"99.50\"\r\n"
                                  "\"TS35-30\",\"Tr\xE4skruv, rostfri\",\"f\xF6rp\",\"99.00\"\r\n"
                                  "\"K-2\",\"Montering\",\"tim\",\"\"\r\n"
                                  "\"ABC-1\",\"Vinkelj\xE4rn\",\"st\",\"9.99\"\r\n";

const QString productRegister = QStringLiteral("Registret/Produkter.dbf");

// An order window over a data folder of its own, with a product register and
// order 17 on screen.
class Desk : public OrderDesk
{
public:
    explicit Desk(const QByteArray& products = sampleRegister, const Files& more = {})
        : OrderDesk(Files { { productRegister, products } } + more)
    {
        core::Order order;
        order.setText(core::Order::OrderNumber, QStringLiteral("17"));
        show(order);
    }

    // The order window's "Produkter" and the picker it shows.
    FrmAddProduct* openPicker() { return open<FrmAddProduct>("mnuVisa_Produkter"); }
    // The same, shown and active as the operator has it; nullptr if it is not.
    FrmAddProduct* openActivePicker()
    {
        FrmAddProduct* picker = openPicker();
        return picker && showActive(*picker) ? picker : nullptr;
    }

    QByteArray basket() const { return folder.read(QStringLiteral("Order/17.basket.dbf")); }

    // The rows of the order window's order-line list, as shown.
    Rows shownLines() const { return rowsOf(lines()); }
};

// Types a text key by key, letters beyond ASCII included.
void type(QWidget* widget, const QString& text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
}

} // namespace

class TestProductPicker : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void listsTheRegisterInFileOrder();
    void search_data();
    void search();
    void searchShowsTheRowButCopiesNothing();
    void typingInTheListGoesToTheArticleNumber();
    void clickAndEnterCopyTheSelectedRow();
    void typedAmountsAreComputedAsTheyStand();

    void okAppendsRecordAndRow_data();
    void okAppendsRecordAndRow();
    void okWithoutBasketFileKeepsWindowOpen();
    void valuesRefusedOrAsked_data();
    void valuesRefusedOrAsked();
    void cancelWritesNothing_data();
    void cancelWritesNothing();
    void threeLinesByKeysAlone();
};

void TestProductPicker::cleanup()
{
    // A failing test may leave its picker open; the next test starts without one.
    qDeleteAll(visibleWindows<FrmAddProduct>());
}

void TestProductPicker::listsTheRegisterInFileOrder()
{
    Desk desk;
    FrmAddProduct* picker = desk.openPicker();
    QVERIFY(picker);
    QCOMPARE(picker->windowTitle(), QStringLiteral("Produkter"));
    const QAbstractItemModel* list = picker->productList()->model();
    QCOMPARE(list->rowCount(), 4);
    QCOMPARE(list->columnCount(), 4);
    QCOMPARE(picker->productList()->columnCaption(1), QStringLiteral("Benämning"));
    QCOMPARE(list->index(1, 1).data().toString(), QStringLiteral("Träskruv, rostfri"));
    QCOMPARE(list->index(2, 3).data().toString(), QString());
    QCOMPARE(list->index(3, 0).data().toString(), QStringLiteral("ABC-1"));
    QCOMPARE(picker->productList()->firstSelectedRow(), -1);
    QCOMPARE(picker->lineAmountBox()->text(), QStringLiteral("0.00"));
    QVERIFY(picker->descriptionBox()->isReadOnly() && picker->unitBox()->isReadOnly()
            && picker->unitPriceBox()->isReadOnly());
    QVERIFY(!picker->quantityBox()->isReadOnly() && !picker->discountBox()->isReadOnly());
}

void TestProductPicker::search_data()
{
    QTest::addColumn<QByteArray>("products");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("found"); // -1: "Listposten hittades inte!"

    const QByteArray register1 = "\"X-9\",\"Abborre\",\"st\",\"1\"\r\n"
                                 "\"ABC-1\",\"Kil\",\"st\",\"1\"\r\n"
                                 "\"abd-2\",\"Kil\",\"st\",\"1\"\r\n"
                                 "\"\xC5l-1\",\"\xC5lkrok\",\"st\",\"1\"\r\n";
    QTest::newRow("prefix, case ignored") << register1 << "ab" << 1;
    QTest::newRow("upper of two matches") << register1 << "AB" << 1;
    QTest::newRow("longer prefix") << register1 << "ABD" << 2;
    QTest::newRow("å finds Å") << register1 << QStringLiteral("ål") << 3;
    QTest::newRow("whole short article number") << register1 << "x-9" << 0;
    QTest::newRow("whole long article number") << register1 << "abc-1" << 1;
    QTest::newRow("empty text finds the first row") << register1 << "" << 0;
    QTest::newRow("inside an article number") << register1 << "BC" << -1;
    QTest::newRow("only in another column") << register1 << "Kil" << -1;
    QTest::newRow("not trimmed") << register1 << "ABC " << -1;
    QTest::newRow("longer than any article") << register1 << "ABC-10" << -1;
    QTest::newRow("empty register") << QByteArray() << "a" << -1;
    QTest::newRow("empty register, empty text") << QByteArray() << "" << -1;
}

void TestProductPicker::search()
{
    QFETCH(QByteArray, products);
    QFETCH(QString, typed);
    const ProductRegisterModel model(datafiles::RecordTable::parse(products, 4));
    QTEST(model.findFirstArticleStartingWith(typed), "found");
}

void TestProductPicker::searchShowsTheRowButCopiesNothing()
{
    QByteArray products;
    for (int i = 0; i < 10000; ++i)
        products += QStringLiteral("\"P%1\",\"Produkt %1\",\"st\",\"%1.00\"\r\n").arg(i).toLatin1();
    Desk desk(products);
    FrmAddProduct* picker = desk.openActivePicker();
    QVERIFY(picker);
    clickRow(picker->productList(), 1);
    QCOMPARE(picker->descriptionBox()->text(), QStringLiteral("Produkt 1"));

    // Enter in the article number searches; what it does not find is said so.
    type(picker->articleNumberBox(), QStringLiteral("Q"));
    QTest::keyClick(picker->articleNumberBox(), Qt::Key_Return);
    QCOMPARE(desk.boxes.shown.size(), 1);
    QCOMPARE(desk.boxes.shown.first().icon, MessageBox::Icon::None);
    QCOMPARE(desk.boxes.shown.first().title, QStringLiteral("Orderregistrering"));
    QCOMPARE(desk.boxes.shown.first().text, QStringLiteral("Listposten hittades inte!"));
    QCOMPARE(picker->productList()->selectedRows(), QList<int> { 1 });

    for (const char* typed : { "p7345", "p45", "p9999" }) {
        picker->articleNumberBox()->setText(QLatin1String(typed));
        QTest::keyClick(picker->articleNumberBox(), Qt::Key_Return);

        // The first match is selected and in sight, so that Enter takes over a
        // row the operator can see.
        const int row = QString(typed).mid(1).toInt();
        ReportListView* list = picker->productList();
        QCOMPARE(list->selectedRows(), QList<int> { row });
        const QRect shown = list->visualRect(list->model()->index(row, 0));
        QVERIFY2(list->viewport()->rect().contains(shown), typed);
        QVERIFY(list->hasFocus());
        // The fields still hold the product taken over before.
        QCOMPARE(picker->articleNumberBox()->text(), QLatin1String(typed));
        QCOMPARE(picker->descriptionBox()->text(), QStringLiteral("Produkt 1"));
        QCOMPARE(picker->unitPriceBox()->text(), QStringLiteral("1.00"));
    }
}

void TestProductPicker::typingInTheListGoesToTheArticleNumber()
{
    Desk desk;
    FrmAddProduct* picker = desk.openPicker();
    QVERIFY(picker);
    QVERIFY(QTest::qWaitForWindowActive(picker));
    ReportListView* list = picker->productList();
    QCOMPARE(QApplication::focusWidget(), list);

    // The search gives the list the focus again; more letters go on from the
    // search text.
    type(list, QStringLiteral("ts"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), list);
    type(list, QStringLiteral("35-3"));
    QCOMPARE(QApplication::focusWidget(), picker->articleNumberBox());
    QCOMPARE(picker->articleNumberBox()->text(), QStringLiteral("ts35-3"));

    // The arrows and Tab still move: along the list, to the article number.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->selectedRows(), QList<int> { 1 });
    QTest::keyClick(list, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), picker->articleNumberBox());
    QCOMPARE(picker->articleNumberBox()->text(), QStringLiteral("ts35-3"));
}

void TestProductPicker::clickAndEnterCopyTheSelectedRow()
{
    Desk desk;
    FrmAddProduct* picker = desk.openActivePicker();
    QVERIFY(picker);

    // No row selected: a click on the empty part of the list takes nothing.
    QTest::mouseClick(picker->productList()->viewport(), Qt::LeftButton, {},
                      QPoint(5, picker->productList()->viewport()->height() - 5));
    QCOMPARE(picker->articleNumberBox()->text(), QString());

    QTest::keyClicks(picker->quantityBox(), QStringLiteral("3"));
    QTest::keyClicks(picker->articleNumberBox(), QStringLiteral("ts"));
    clickRow(picker->productList(), 1);
    QCOMPARE(picker->articleNumberBox()->text(), QStringLiteral("TS35-30"));
    QCOMPARE(picker->descriptionBox()->text(), QStringLiteral("Träskruv, rostfri"));
    QCOMPARE(picker->unitBox()->text(), QStringLiteral("förp"));
    QCOMPARE(picker->unitPriceBox()->text(), QStringLiteral("99.00"));
    QCOMPARE(picker->quantityBox()->text(), QStringLiteral("3"));
    QCOMPARE(picker->lineAmountBox()->text(), QStringLiteral("297.00"));
    // The quantity is next, ready to be typed over.
    QCOMPARE(QApplication::focusWidget(), picker->quantityBox());
    QCOMPARE(picker->quantityBox()->selectedText(), QStringLiteral("3"));

    QTest::keyClick(picker->productList(), Qt::Key_Down);
    QTest::keyClick(picker->productList(), Qt::Key_Return);
    QCOMPARE(picker->articleNumberBox()->text(), QStringLiteral("K-2"));
    QCOMPARE(picker->unitPriceBox()->text(), QString());
    QCOMPARE(picker->lineAmountBox()->text(), QStringLiteral("0.00"));
    QCOMPARE(QApplication::focusWidget(), picker->quantityBox());
    QTest::keyClick(picker->productList(), Qt::Key_Down);
    QTest::keyClick(picker->productList(), Qt::Key_Enter);
    QCOMPARE(picker->articleNumberBox()->text(), QStringLiteral("ABC-1"));
    QCOMPARE(picker->quantityBox()->selectedText(), QStringLiteral("3"));
}

void TestProductPicker::typedAmountsAreComputedAsTheyStand()
{
    Desk desk;
    FrmAddProduct* picker = desk.openActivePicker();
    QVERIFY(picker);
    clickRow(picker->productList(), 3); // 9.99

    QTest::keyClicks(picker->quantityBox(), QStringLiteral("2,5"));
    QCOMPARE(picker->quantityBox()->text(), QStringLiteral("2.5"));
    QCOMPARE(picker->quantityBox()->cursorPosition(), 3);
    QCOMPARE(picker->lbl_sum1()->text(), QStringLiteral("24.98"));
    QCOMPARE(picker->lineAmountBox()->text(), QStringLiteral("24.98"));

    QTest::keyClicks(picker->discountBox(), QStringLiteral("12,5"));
    QCOMPARE(picker->discountBox()->text(), QStringLiteral("12.5"));
    QCOMPARE(picker->lbl_sum2()->text(), QStringLiteral("3.12"));
    QCOMPARE(picker->lineAmountBox()->text(), QStringLiteral("21.86"));

    picker->quantityBox()->selectAll();
    QTest::keyClick(picker->quantityBox(), Qt::Key_Delete);
    QCOMPARE(picker->lineAmountBox()->text(), QStringLiteral("0.00"));
    QVERIFY(!picker->lbl_sum1()->isVisible());
}

void TestProductPicker::okAppendsRecordAndRow_data()
{
    QTest::addColumn<int>("row"); // -1: no product taken over
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("discount");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("press"); // Enter in "Antal", or Tab to "OK" and Enter

    QTest::newRow("empty fourth text") << 2 << "3"
                                       << "" << QByteArray("\"K-2\",\"Montering\",\"tim\",\"\",\"3\",\"\",\"0.00\"\r\n")
                                       << "Antal";
    // Nothing taken over: the line holds what was typed, mended as the basket
    // needs it, and the order gets the mended line.
    QTest::newRow("quote typed into the search box")
        << -1 << "1"
        << "" << QByteArray("\"2\x94\x94 r\xF6r\",\"\",\"\",\"\",\"1\",\"\",\"0.00\"\r\n") << "Tab to OK";
}

void TestProductPicker::okAppendsRecordAndRow()
{
    QFETCH(int, row);
    QFETCH(QString, quantity);
    QFETCH(QString, discount);
    QFETCH(QByteArray, record);
    QFETCH(QString, press);

    Desk desk;
    FrmAddProduct* picker = desk.openActivePicker();
    QVERIFY(picker);
    if (row >= 0)
        clickRow(picker->productList(), row);
    else
        type(picker->articleNumberBox(), QStringLiteral("2\"\" rör"));
    QTest::keyClicks(picker->quantityBox(), quantity);
    QTest::keyClicks(picker->discountBox(), discount);
    QPointer<FrmAddProduct> open = picker;
    desk.boxes.answers = { true }; // a product without a price, yes

    if (press == "Antal") {
        QTest::keyClick(picker->quantityBox(), Qt::Key_Return);
    } else {
        picker->discountBox()->setFocus();
        QTest::keyClick(picker->discountBox(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), picker->okButton());
        QTest::keyClick(picker->okButton(), Qt::Key_Return);
    }

    QCOMPARE(desk.boxes.shown.size(), 1);
    QCOMPARE(desk.boxes.shown.at(0).title, QStringLiteral("Inget pris"));
    QCOMPARE(desk.basket(), record);
    const Rows lines = datafiles::readRecords(record, 7);
    QCOMPARE(desk.shownLines(), lines);
    QCOMPARE(desk.order().lines(), orderLinesOf(lines));
    QTRY_VERIFY(!open);
}

void TestProductPicker::okWithoutBasketFileKeepsWindowOpen()
{
    Desk desk;
    desk.folder.remove(QStringLiteral("Order"));
    FrmAddProduct* picker = desk.openActivePicker();
    QVERIFY(picker);
    clickRow(picker->productList(), 0);
    QTest::keyClicks(picker->quantityBox(), QStringLiteral("2"));

    QTest::mouseClick(picker->okButton(), Qt::LeftButton);

    QCOMPARE(desk.boxes.shown.size(), 1);
    QCOMPARE(desk.boxes.shown.first().icon, MessageBox::Icon::Critical);
    QCOMPARE(desk.boxes.shown.first().title, QStringLiteral("Felmeddelande"));
    QVERIFY(desk.boxes.shown.first().text.startsWith(
        QStringLiteral("Det blev något fel\r\nError: 1001,06\r\n\r\nFil: %1\r\nOrsak: ")
            .arg(desk.folder.path("Order/17.basket.dbf"))));
    QCOMPARE(visibleWindow<FrmAddProduct>(), picker);
    QCOMPARE(picker->articleNumberBox()->text(), QStringLiteral("TS35-25"));
    QCOMPARE(picker->lineAmountBox()->text(), QStringLiteral("199.00"));
    QCOMPARE(desk.lines()->model()->rowCount(), 0);
    QVERIFY(desk.order().lines().isEmpty());
    QVERIFY(!desk.folder.exists(QStringLiteral("Order")));
}

void TestProductPicker::valuesRefusedOrAsked_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("typed"); // quantity, discount
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("said"); // in the one box: a refusal's reason names its field, else it asks

    QTest::newRow("discount 150 % refused")
        << 0 << QStringList { "1", "150" } << true << "orderraden.\r\nOrsak: \"Rab %\"";
    QTest::newRow("a return, added") << 0 << QStringList { "-2", "" } << true << "retur";
    QTest::newRow("no price, not added") << 2 << QStringList { "3", "" } << false << "inget pris";
}

void TestProductPicker::valuesRefusedOrAsked()
{
    QFETCH(int, row);
    QFETCH(QStringList, typed);
    QFETCH(bool, yes);
    QFETCH(QString, said);

    Desk desk;
    FrmAddProduct* picker = desk.openActivePicker();
    QVERIFY(picker);
    clickRow(picker->productList(), row);
    QTest::keyClicks(picker->quantityBox(), typed.at(0));
    QTest::keyClicks(picker->discountBox(), typed.at(1));
    desk.boxes.answers = { yes };
    QTest::keyClick(picker->discountBox(), Qt::Key_Return);

    const bool refused = said.contains(QStringLiteral("Orsak"));
    QCOMPARE(desk.boxes.shown.size(), 1);
    QVERIFY2(desk.boxes.shown.at(0).text.contains(said), qPrintable(desk.boxes.shown.at(0).text));
    QCOMPARE(desk.boxes.shown.at(0).icon, refused ? MessageBox::Icon::Critical : MessageBox::Icon::Question);
    QCOMPARE(desk.order().lines().size(), yes && !refused ? 1 : 0);
    QCOMPARE(desk.basket().isEmpty(), !yes || refused);
}

void TestProductPicker::cancelWritesNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Avbryt") << "Avbryt";
    QTest::newRow("Escape in the list") << "ListView1";
    QTest::newRow("Escape in the quantity") << "Text5";
    QTest::newRow("Escape on OK") << "Command1";
}

void TestProductPicker::cancelWritesNothing()
{
    QFETCH(QString, how);

    Desk desk;
    FrmAddProduct* picker = desk.openActivePicker();
    QVERIFY(picker);
    clickRow(picker->productList(), 0);
    QTest::keyClicks(picker->quantityBox(), QStringLiteral("2"));
    QPointer<FrmAddProduct> open = picker;
    if (how == "Avbryt") {
        QTest::mouseClick(picker->cancelButton(), Qt::LeftButton);
    } else {
        auto* target = picker->findChild<QWidget*>(how);
        QVERIFY(target);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape);
    }
    QTRY_VERIFY(!open);
    QVERIFY(!desk.folder.exists(QStringLiteral("Order/17.basket.dbf")));
    QCOMPARE(desk.lines()->model()->rowCount(), 0);
    QVERIFY(desk.order().lines().isEmpty());
    QVERIFY(desk.boxes.shown.isEmpty());
}

// F12, the start of the article number, Enter, Enter, quantity, Tab, discount,
// Enter: line after line without the mouse, an article taken twice on lines
// of its own.
void TestProductPicker::threeLinesByKeysAlone()
{
    Desk desk;
    struct Line
    {
        const char* articleStart;
        const char* quantity;
        const char* discount;
    };
    const Line lines[] = { { "ts35-3", "2", "5" }, { "abc", "3", "0" }, { "ts35-3", "4", "10" } };

    auto press = [](Qt::Key key) {
        QTest::keyClick(QApplication::focusWidget(), key);
    };
    auto typeKeys = [](const char* keys) {
        QTest::keyClicks(QApplication::focusWidget(), QLatin1String(keys));
    };

    for (const Line& line : lines) {
        QVERIFY(showActive(desk.window));
        press(Qt::Key_F12);
        FrmAddProduct* picker = visibleWindow<FrmAddProduct>();
        QVERIFY(picker);
        QVERIFY(QTest::qWaitForWindowActive(picker));
        QPointer<FrmAddProduct> open = picker;

        typeKeys(line.articleStart);
        press(Qt::Key_Return);
        press(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), picker->quantityBox());
        typeKeys(line.quantity);
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), picker->discountBox());
        typeKeys(line.discount);
        press(&line == &lines[2] ? Qt::Key_Enter : Qt::Key_Return); // the keypad's Enter last
        QTRY_VERIFY(!open);
    }

    QVERIFY(desk.boxes.shown.isEmpty());
    QCOMPARE(desk.basket(),
             QByteArray("\"TS35-30\",\"Tr\xE4skruv, rostfri\",\"f\xF6rp\",\"99.00\",\"2\",\"5\",\"188.10\"\r\n"
                        "\"ABC-1\",\"Vinkelj\xE4rn\",\"st\",\"9.99\",\"3\",\"0\",\"29.97\"\r\n"
                        "\"TS35-30\",\"Tr\xE4skruv, rostfri\",\"f\xF6rp\",\"99.00\",\"4\",\"10\",\"356.40\"\r\n"));
    QCOMPARE(desk.shownLines(), datafiles::readRecords(desk.basket(), 7));
    QCOMPARE(desk.order().lines(), orderLinesOf(desk.shownLines()));
}

QTEST_MAIN(TestProductPicker)
#include "tst_productpicker.moc"
