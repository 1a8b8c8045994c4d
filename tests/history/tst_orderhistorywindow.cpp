// The order history, F6, on a data folder with printed orders: finding an
// order, its kept PDF, a new order from it, its state and its delivery note;
// and the print preview, Shift+F9.

#include "datafiles/desks.h"
#include "history/frmorderhistory.h"
#include "history/pdfwindow.h"
#include "order/basket.h"
#include "order/orderstatus.h"
#include "order/registers.h"
#include "order/registration.h"
#include "printing/orderdocument.h"
#include "printing/printingtestsupport.h"
#include "printjob/printjob.h"
#include "widgets/reportlistview.h"
#include "widgets/textbox.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPdfView>
#include <QPushButton>

using core::Order;
using core::OrderLine;

namespace {

// The sample order printed under another number, date and customer.
Order printedAs(const char* number, const char* date, const char* customer, const char* name, int lines)
{
    Order order = sampleOrder(lines);
    order.setText(Order::OrderNumber, QString::fromUtf8(number));
    order.setText(Order::OrderDate, QString::fromUtf8(date));
    order.setText(Order::CustomerNumber, QString::fromUtf8(customer));
    order.setText(Order::CustomerLine1, QString::fromUtf8(name));
    return order;
}

// An order window over a data folder in which orders 124 to 127 have been
// printed to their PDF copies: 124 and 127 for Bergström Bygg AB (customer
// 1001), 125 for Åkesson, Karin (77), 126 for Lind & Co (510), without lines
// and without a kept copy.
struct History : PrintedOrder
{
    History()
    {
        printing::Destinations::Override override(pdfOnly());
        const core::CodeWording wording(folder.data());
        for (const Order& order : { sampleOrder(2), printedAs("125", "060402", "77", "Åkesson, Karin", 1),
                                    printedAs("126", "060403", "510", "Lind & Co", 0),
                                    printedAs("127", "060404", "1001", "Bergström Bygg AB", 1) }) {
            const QString number = order.text(Order::OrderNumber);
            if (!order.lines().isEmpty())
                core::rewriteBasket(folder.data(), number, order.lines());
            const printjob::PrintOutcome printed
                = printjob::printOrder(order, printing::designedOrderLineColumns(), wording, folder.data());
            if (printed.failure)
                qFatal("order %s was not printed: %s", qPrintable(number), qPrintable(printed.failure->reason));
        }
        folder.remove(QStringLiteral("Order/126.pdf"));
    }

    // F6 from the active order window, and the history it shows.
    FrmOrderHistory* open()
    {
        if (!showActive(window))
            return nullptr;
        QTest::keyClick(&window, Qt::Key_F6);
        FrmOrderHistory* history = visibleWindow<FrmOrderHistory>();
        if (history && !QTest::qWaitForWindowActive(history))
            return nullptr;
        return history;
    }
};

QLineEdit* searchBox(const FrmOrderHistory* history)
{
    return history->findChild<QLineEdit*>(QStringLiteral("txtSok"));
}

QPushButton* button(const QWidget* window, const char* name)
{
    return window->findChild<QPushButton*>(QLatin1String(name));
}

QString label(const QWidget* window, const char* name)
{
    const auto* shown = window->findChild<QLabel*>(QLatin1String(name));
    return shown ? shown->text() : QStringLiteral("(no %1)").arg(QLatin1String(name));
}

// The listed orders' numbers, top to bottom.
QStringList listed(const FrmOrderHistory* history)
{
    const QAbstractItemModel* model = listView(*history)->model();
    QStringList numbers;
    for (int row = 0; row < model->rowCount(); ++row)
        numbers.append(model->index(row, 1).data().toString());
    return numbers;
}

// The Status column, top to bottom.
QStringList states(const FrmOrderHistory* history)
{
    QStringList shown;
    for (const QStringList& row : rowsOf(listView(*history)))
        shown.append(row.last());
    return shown;
}

QString chosen(const FrmOrderHistory* history)
{
    return history->chosenOrder() ? history->chosenOrder()->text(Order::OrderNumber) : QString();
}

// Types into the search box, as the operator does, from an empty box.
void search(FrmOrderHistory* history, const QString& text)
{
    searchBox(history)->clear();
    QTest::keyClicks(searchBox(history), text);
}

} // namespace

class TestOrderHistoryWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void opensOnTheNewestWithTheSearchBoxFocused();
    void searchAsTyped();
    void showsTheKeptCopy();
    void orderWithoutKeptCopy();
    void reprintWithoutPrinterNamesTheCopy();
    void newOrderFromThisOne();
    void newOrderWithoutANumberChangesNothing();
    void severalOrdersMarkedAndSetBack();
    void showsWhatOtherDesksDoWithinSeconds();
    void aChangeSavedAfterACutRecordSaysItIsSaved();
    void voidedOrderIsRedAndAsksFirst();
    void filterKeptWhileOpen();
    void deliveryNoteOffersToMarkDelivered();
    void closes_data();
    void closes();
    void previewHasThePrintedPages();
};

void TestOrderHistoryWindow::initTestCase()
{
    // No print server answers here: this machine has no printer.
    qputenv("CUPS_SERVER", "127.0.0.1:9");
}

void TestOrderHistoryWindow::opensOnTheNewestWithTheSearchBoxFocused()
{
    History desk;
    const QByteArray list = desk.folder.read("Order/lista.dbf");
    FrmOrderHistory* history = desk.open();
    QVERIFY(history);
    QCOMPARE(history->windowTitle(), QStringLiteral("Orderhistorik"));
    QCOMPARE(QApplication::focusWidget(), searchBox(history));
    const QAbstractItemModel* model = listView(*history)->model();
    QStringList captions;
    for (int c = 0; c < model->columnCount(); ++c)
        captions.append(model->headerData(c, Qt::Horizontal).toString());
    QCOMPARE(captions, (QStringList { "Orderdatum", "Ordernr", "Kundnr", "Namn", "Status" }));
    QCOMPARE(rowsOf(listView(*history)).first(),
             (QStringList { "060404", "127", "1001", "Bergström Bygg AB", "Registrerad" }));
    QCOMPARE(listed(history), (QStringList { "127", "126", "125", "124" }));
    QCOMPARE(chosen(history), QStringLiteral("127"));
    QVERIFY(desk.boxes.shown.isEmpty());
    QCOMPARE(desk.folder.read("Order/lista.dbf"), list);

    // F6 again brings the same window to the front.
    history->lower();
    QVERIFY(showActive(desk.window));
    QTest::keyClick(&desk.window, Qt::Key_F6);
    QCOMPARE(visibleWindows<FrmOrderHistory>().size(), 1);
}

// Which orders a text finds is the history's rule; the window lists them,
// chooses the first, and Down and Up move through them from the search box.
void TestOrderHistoryWindow::searchAsTyped()
{
    History desk;
    FrmOrderHistory* history = desk.open();
    QVERIFY(history);
    search(history, QStringLiteral("1001"));
    QCOMPARE(listed(history), (QStringList { "127", "124" }));
    QCOMPARE(chosen(history), QStringLiteral("127"));
    QTest::keyClick(searchBox(history), Qt::Key_Down);
    QCOMPARE(chosen(history), QStringLiteral("124"));
    QTest::keyClick(searchBox(history), Qt::Key_Down); // the last stays chosen
    QCOMPARE(chosen(history), QStringLiteral("124"));
    QTest::keyClick(searchBox(history), Qt::Key_Up);
    QCOMPARE(chosen(history), QStringLiteral("127"));
    QCOMPARE(listView(*history)->selectedRows(), QList<int> { 0 });
    QCOMPARE(QApplication::focusWidget(), searchBox(history));
    QVERIFY(button(history, "cmdNyOrder")->isEnabled());

    search(history, QStringLiteral("125 lind"));
    QCOMPARE(listed(history), QStringList());
    QCOMPARE(chosen(history), QString());
    QVERIFY(!button(history, "cmdNyOrder")->isEnabled());
    searchBox(history)->clear();
    QCOMPARE(listed(history).size(), 4);
}

void TestOrderHistoryWindow::showsTheKeptCopy()
{
    History desk;
    FrmOrderHistory* history = desk.open();
    QVERIFY(history);
    search(history, QStringLiteral("124"));
    QTest::keyClick(searchBox(history), Qt::Key_Return);

    PdfWindow* shown = visibleWindow<PdfWindow>("frmVisaOrder");
    QVERIFY(shown);
    QCOMPARE(shown->windowTitle(), QStringLiteral("Order 124"));
    QCOMPARE(shown->pageCount(), pdfPages(desk.folder.path("Order/124.pdf")));
    QCOMPARE(shown->pageCount(), 1);
    QVERIFY(desk.boxes.shown.isEmpty());

    // Alt+V on another order shows that one in the same window.
    QVERIFY(QTest::qWaitForWindowActive(shown));
    history->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(history));
    search(history, QStringLiteral("125"));
    QTest::keyClick(history, Qt::Key_V, Qt::AltModifier);
    QTRY_COMPARE(shown->windowTitle(), QStringLiteral("Order 125"));
    QCOMPARE(visibleWindows<PdfWindow>().size(), 1);
}

void TestOrderHistoryWindow::orderWithoutKeptCopy()
{
    History desk;
    FrmOrderHistory* history = desk.open();
    QVERIFY(history);
    search(history, QStringLiteral("126"));
    for (const char* name : { "cmdVisa", "cmdSkrivUtIgen" }) {
        QVERIFY2(!button(history, name)->isEnabled(), name);
        QCOMPARE(button(history, name)->toolTip(), QStringLiteral("Ingen PDF-kopia är sparad för order 126."));
    }
    QVERIFY(button(history, "cmdNyOrder")->isEnabled());
    QTest::keyClick(searchBox(history), Qt::Key_Return);
    QVERIFY(visibleWindows<PdfWindow>().isEmpty());
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestOrderHistoryWindow::reprintWithoutPrinterNamesTheCopy()
{
    History desk;
    FrmOrderHistory* history = desk.open();
    QVERIFY(history);
    search(history, QStringLiteral("124"));
    QTest::keyClick(history, Qt::Key_U, Qt::AltModifier);

    QTRY_COMPARE(desk.boxes.shown.size(), 1);
    const MessageBox::Shown& box = desk.boxes.shown.first();
    QCOMPARE(box.icon, MessageBox::Icon::Information);
    QCOMPARE(box.text,
             QStringLiteral("Det finns ingen skrivare att skriva ut på.\r\n\r\n"
                            "PDF-kopian av order 124 finns i\r\n")
                 + QDir::toNativeSeparators(desk.folder.path("Order/124.pdf")));
}

void TestOrderHistoryWindow::newOrderFromThisOne()
{
    History desk;
    FrmOrderHistory* history = desk.open();
    QVERIFY(history);
    search(history, QStringLiteral("124"));
    QTest::keyClick(history, Qt::Key_N, Qt::AltModifier);

    // The new order is on the desk, in the boxes and the list, and the
    // history makes way for it.
    QTRY_COMPARE(desk.order().text(Order::OrderNumber), QStringLiteral("128"));
    QVERIFY(desk.boxes.shown.isEmpty());
    QCOMPARE(desk.box("txt_OrderNr")->text(), QStringLiteral("128"));
    QCOMPARE(desk.box("txt_KundField1")->text(), QStringLiteral("Bergström Bygg AB"));
    QCOMPARE(rowsOf(desk.lines()), (QList<QStringList> { orderLine(0), orderLine(1) }));
    QVERIFY(QTest::qWaitFor([] { return visibleWindows<FrmOrderHistory>().isEmpty(); }));
    QVERIFY(QTest::qWaitForWindowActive(&desk.window));
}

void TestOrderHistoryWindow::newOrderWithoutANumberChangesNothing()
{
    History desk;
    desk.folder.remove("Registret/OrderNr.dbf");
    const Order onScreen = desk.order();
    FrmOrderHistory* history = desk.open();
    QVERIFY(history);
    search(history, QStringLiteral("124"));
    QTest::mouseClick(button(history, "cmdNyOrder"), Qt::LeftButton);

    QCOMPARE(desk.boxes.shown.size(), 1);
    QCOMPARE(desk.boxes.shown.first().icon, MessageBox::Icon::Critical);
    QVERIFY(
        desk.boxes.shown.first().text.startsWith(QStringLiteral("Det gick inte att läsa det senaste ordernumret.")));
    QCOMPARE(desk.order(), onScreen);
    QCOMPARE(visibleWindow<FrmOrderHistory>(), history);
}

void TestOrderHistoryWindow::severalOrdersMarkedAndSetBack()
{
    History desk;
    FrmOrderHistory* history = desk.open();
    QVERIFY(history);
    search(history, QStringLiteral("1001"));
    QTest::keyClick(searchBox(history), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), listView(*history));
    QTest::keyClick(listView(*history), Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(listView(*history)->selectedRows(), (QList<int> { 0, 1 }));

    const QList<std::pair<Qt::Key, QString>> steps { { Qt::Key_L, "Levererad" },
                                                     { Qt::Key_F, "Fakturerad" },
                                                     { Qt::Key_G, "Levererad" } };
    for (const auto& [key, state] : steps) {
        QTest::keyClick(history, key, Qt::AltModifier);
        QTRY_COMPARE(states(history), (QStringList { state, state }));
        QCOMPARE(listView(*history)->selectedRows(), (QList<int> { 0, 1 }));
    }
    QCOMPARE(chosen(history), QStringLiteral("124")); // where Shift+Down went
    // Dated by the desk's clock.
    QCOMPARE(rowsOf(listView(*history, "lvwStatuslogg")).last(),
             (QStringList { "2026-12-06 00:00:00", "Levererad", "" }));
    QVERIFY(!button(history, "cmdLevererad")->isEnabled());
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestOrderHistoryWindow::showsWhatOtherDesksDoWithinSeconds()
{
    History desk;
    FrmOrderHistory* history = desk.open();
    QVERIFY(history);
    QTest::keyClick(searchBox(history), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(listView(*history), Qt::Key_Down);
    QCOMPARE(chosen(history), QStringLiteral("126"));

    // Another desk prints order 128 and marks 126 delivered.
    const datafiles::DataDirectory other(desk.folder.programFolder(), datafiles::Desk::another());
    QVERIFY(!core::registerOrder(other, printedAs("128", "060405", "77", "Åkesson, Karin", 1)));
    core::StatusLog log = core::readStatusLog(other).log;
    QVERIFY(
        !core::changeStatus(other, log, { "126" }, core::StatusCommand::Deliver, QDateTime::currentDateTime()).failure);

    QTRY_COMPARE_WITH_TIMEOUT(listed(history), (QStringList { "128", "127", "126", "125", "124" }), 5000);
    QTRY_COMPARE(states(history).at(2), QStringLiteral("Levererad"));
    QCOMPARE(chosen(history), QStringLiteral("126"));
}

void TestOrderHistoryWindow::aChangeSavedAfterACutRecordSaysItIsSaved()
{
    History desk;
    desk.folder.write("Order/status.dbf", "\"125\",\"Levererad\",\"2026-12-06 00:00:00\",\"\"\r\n\"126\",\"Makul");
    FrmOrderHistory* history = desk.open();
    QVERIFY(history);
    QTRY_COMPARE(desk.boxes.shown.size(), 1); // the cut record, when the history is read
    search(history, QStringLiteral("124"));
    QTest::keyClick(history, Qt::Key_L, Qt::AltModifier);
    QTRY_COMPARE(states(history), QStringList { "Levererad" });

    QTRY_COMPARE(desk.boxes.shown.size(), 2);
    const MessageBox::Shown& box = desk.boxes.shown.last();
    QCOMPARE(box.icon, MessageBox::Icon::Information);
    QVERIFY2(box.text.startsWith(QStringLiteral("Orderstatus är sparad.")), qPrintable(box.text));
    QVERIFY2(box.text.contains(QStringLiteral("status.dbf.avkortat")), qPrintable(box.text));
}

void TestOrderHistoryWindow::voidedOrderIsRedAndAsksFirst()
{
    History desk;
    FrmOrderHistory* history = desk.open();
    QVERIFY(history);
    search(history, QStringLiteral("124"));
    desk.boxes.texts = { QStringLiteral("Fel kund") };
    QTest::keyClick(history, Qt::Key_M, Qt::AltModifier);
    QTRY_COMPARE(desk.boxes.shown.size(), 1);
    QCOMPARE(desk.boxes.shown.first().text,
             QStringLiteral("Varför makuleras order 124? Ordern och dess filer finns kvar."));
    QCOMPARE(states(history), QStringList { "Makulerad" });
    const QColor red(192, 0, 0);
    QCOMPARE(listView(*history)->model()->index(0, 4).data(Qt::ForegroundRole).value<QColor>(), red);
    QVERIFY(!button(history, "cmdLevererad")->isEnabled());

    // Reprinting it asks first; no leaves it be.
    QTest::keyClick(history, Qt::Key_U, Qt::AltModifier);
    QTRY_COMPARE(desk.boxes.shown.size(), 2);
    QCOMPARE(desk.boxes.shown.last().icon, MessageBox::Icon::Question);
    QCOMPARE(desk.boxes.shown.last().text,
             QStringLiteral("Order 124 är makulerad.\r\nOrsak: Fel kund\r\n\r\nVill du ändå skriva ut den igen?"));
    // A new order from it asks as well; yes starts it.
    desk.boxes.answers = { true };
    QTest::keyClick(history, Qt::Key_N, Qt::AltModifier);
    QTRY_COMPARE(desk.boxes.shown.size(), 3);
    QTRY_COMPARE(desk.order().text(Order::OrderNumber), QStringLiteral("128"));
}

void TestOrderHistoryWindow::filterKeptWhileOpen()
{
    History desk;
    desk.folder.write("Order/status.dbf", "\"125\",\"Levererad\",\"2026-12-06 00:00:00\",\"\"\r\n");
    FrmOrderHistory* history = desk.open();
    QVERIFY(history);
    QTest::keyClick(history, Qt::Key_T, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), history->findChild<QComboBox*>("cboFilter"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(history->findChild<QComboBox*>("cboFilter")->currentText(), QStringLiteral("Ej levererade"));
    QCOMPARE(listed(history), (QStringList { "127", "126", "124" }));
    QCOMPARE(label(history, "lblAntal"), QStringLiteral("3 order. Filtret döljer 1 till."));
    search(history, QStringLiteral("12"));
    QCOMPARE(listed(history), (QStringList { "127", "126", "124" }));
    QCOMPARE(label(history, "lblAntal"), QStringLiteral("3 order. Filtret döljer 1 till som sökningen hittar."));

    // Opened again, the history lists every order.
    history->close();
    QTRY_VERIFY(visibleWindows<FrmOrderHistory>().isEmpty());
    history = desk.open();
    QVERIFY(history);
    QCOMPARE(listed(history), (QStringList { "127", "126", "125", "124" }));
    QCOMPARE(states(history), (QStringList { "Registrerad", "Registrerad", "Levererad", "Registrerad" }));
}

void TestOrderHistoryWindow::deliveryNoteOffersToMarkDelivered()
{
    History desk;
    FrmOrderHistory* history = desk.open();
    QVERIFY(history);
    search(history, QStringLiteral("125"));
    desk.boxes.answers = { true };
    QTest::keyClick(history, Qt::Key_J, Qt::AltModifier);

    QTRY_COMPARE(desk.boxes.shown.size(), 1);
    QCOMPARE(desk.boxes.shown.first().icon, MessageBox::Icon::Question);
    QVERIFY(desk.boxes.shown.first().text.endsWith(QStringLiteral("\r\n\r\nMarkera order 125 som levererad?")));
    QCOMPARE(states(history), QStringList { "Levererad" });
    QVERIFY(desk.folder.exists("Order/125_följesedel.pdf"));
}

void TestOrderHistoryWindow::closes_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("alt");

    QTest::newRow("Escape in the search box") << int(Qt::Key_Escape) << false;
    QTest::newRow("Alt+S") << int(Qt::Key_S) << true;
}

void TestOrderHistoryWindow::closes()
{
    QFETCH(int, key);
    QFETCH(bool, alt);
    History desk;
    FrmOrderHistory* history = desk.open();
    QVERIFY(history);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), alt ? Qt::AltModifier : Qt::NoModifier);
    QVERIFY(QTest::qWaitFor([] { return visibleWindows<FrmOrderHistory>().isEmpty(); }));
    QVERIFY(desk.boxes.shown.isEmpty());
}

// The preview is drawn as the kept copy is: a long order has as many pages on
// screen as on paper, and nothing is written until it is printed.
void TestOrderHistoryWindow::previewHasThePrintedPages()
{
    PrintedOrder desk;
    desk.show(120);
    QVERIFY(showActive(desk.window));
    const QStringList filesBefore = QDir(desk.folder.path("Order")).entryList(QDir::Files);
    QTest::keyClick(&desk.window, Qt::Key_F9, Qt::ShiftModifier);

    PdfWindow* preview = visibleWindow<PdfWindow>("frmForhandsgranskning");
    QVERIFY(preview);
    QCOMPARE(preview->windowTitle(), QStringLiteral("Förhandsgranskning"));
    QCOMPARE(preview->pageCount(), 3);
    QCOMPARE(label(preview, "lblSida"), QStringLiteral("Sida 1 av 3"));
    QTest::mouseClick(button(preview, "cmdNasta"), Qt::LeftButton);
    QTest::mouseClick(button(preview, "cmdNasta"), Qt::LeftButton);
    QCOMPARE(preview->currentPage(), 2);
    QVERIFY(!button(preview, "cmdNasta")->isEnabled());
    const qreal whole = preview->view()->zoomFactor();
    QTest::mouseClick(button(preview, "cmdZoomaIn"), Qt::LeftButton);
    QVERIFY(preview->view()->zoomFactor() != whole);
    QVERIFY(desk.boxes.shown.isEmpty());
    QCOMPARE(QDir(desk.folder.path("Order")).entryList(QDir::Files), filesBefore);
    QVERIFY(!desk.folder.exists("Registret/OrderNr.dbf"));

    // The preview follows the order as the operator goes on with it, so that
    // "Skriv ut (F9)" prints what it shows, as F9 does.
    QList<int> laterLines;
    for (int line = 40; line < 120; ++line)
        laterLines.append(line);
    QVERIFY(!desk.window.openOrder().removeLines(laterLines));
    QTRY_COMPARE(preview->pageCount(), 1);
    printing::Destinations::Override override(pdfOnly());
    QTest::mouseClick(button(preview, "cmdSkrivUt"), Qt::LeftButton);
    QCOMPARE(desk.boxes.shown.size(), 1);
    QCOMPARE(desk.boxes.shown.first().title, QStringLiteral("Ordern är sparad som PDF"));
    QCOMPARE(pdfPages(desk.folder.path("Order/124.pdf")), preview->pageCount());
    QCOMPARE(desk.folder.read("Registret/OrderNr.dbf"), QByteArray("124\r\n"));
}

QTEST_MAIN(TestOrderHistoryWindow)
#include "tst_orderhistorywindow.moc"
