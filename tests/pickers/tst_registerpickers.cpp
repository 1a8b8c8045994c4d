// The payment-terms, delivery and freight pickers, opened from the order window
// as the operator opens them.

#include "order/order.h"
#include "pickers/registerpicker.h"
#include "support/testsupport.h"
#include "widgets/messagebox.h"
#include "widgets/reportlistview.h"
#include "widgets/textbox.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using Register = RegisterPicker::Register;
using Field = core::Order::Field;

namespace {

const QByteArray threeRows("\"1\",\"Ett\"\r\n\"2\",\"Tv\xE5\"\r\n\"3\",\"Tre\"\r\n");

struct Kind
{
    const char* name;
    const char* file;
    const char* box; // the order window's box of the code
    Field field;
    const char* menuEntry;
};

const Kind kinds[] = {
    { "frmBetk", "Registret/Betalningsvillkor.dbf", "txt_Betk", Field::PaymentTerms, "mnuData_Betk" },
    { "frmLevS", "Registret/Leveranssätt.dbf", "txt_LevS", Field::DeliveryMethod, "mnuData_Levs" },
    { "frmFrkts", "Registret/Fraktsätt.dbf", "txt_Frkts", Field::FreightMethod, "mnuData_Frkts" },
};

// The open picker of that name, if any.
RegisterPicker* openPicker(const char* name)
{
    return visibleWindow<RegisterPicker>(name);
}

// The order window's menu entry of the picker, and the picker it leaves open.
RegisterPicker* openPicker(OrderDesk& desk, const Kind& kind)
{
    desk.choose(kind.menuEntry);
    return openPicker(kind.name);
}

} // namespace

class TestRegisterPickers : public QObject
{
    Q_OBJECT

private slots:
    void layoutPerPicker_data();
    void layoutPerPicker();
    void preselectsTheCurrentCode_data();
    void preselectsTheCurrentCode();
    void leavingThePicker_data();
    void leavingThePicker();
    void keysAndDoubleClick_data();
    void keysAndDoubleClick();
    void missingRegisterIsReported();
    void oneInstanceEach();
};

void TestRegisterPickers::layoutPerPicker_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("frameCaption");
    QTest::addColumn<QStringList>("focusOrder");

    QTest::newRow("payment terms") << 0 << "Betalningsvillkor"
                                   << "Nuvarande betalningsvillkor"
                                   << QStringList { "ListView1", "Command1", "Command2" };
    QTest::newRow("delivery") << 1 << "Leveranssätt"
                              << "Nuvarande leveranssätt" << QStringList { "ListView1", "Command2", "Command1" };
    QTest::newRow("freight") << 2 << "Fraktsätt"
                             << "Nuvarande fraktsätt" << QStringList { "ListView1", "Command1", "Command2" };
}

void TestRegisterPickers::layoutPerPicker()
{
    QFETCH(int, kind);

    OrderDesk desk({ { kinds[kind].file, threeRows } });
    // F4 and F5 open two of them, as the menu does the third.
    QVERIFY(showActive(desk.window));
    if (kind == 0)
        desk.choose(kinds[kind].menuEntry);
    else
        QTest::keyClick(&desk.window, kind == 1 ? Qt::Key_F4 : Qt::Key_F5);
    RegisterPicker* picker = openPicker(kinds[kind].name);
    QVERIFY(picker);

    QVERIFY(!picker->parent());
    QTEST(picker->windowTitle(), "caption");
    QTEST(picker->Frame1()->title(), "frameCaption");
    QCOMPARE(picker->minimumSize(), picker->maximumSize());
    QVERIFY(!(picker->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    QVERIFY(showActive(*picker));
    QStringList order;
    for (QWidget* w = QApplication::focusWidget(); order.size() < 3; w = w->nextInFocusChain()) {
        if (w->focusPolicy() != Qt::NoFocus && w->isVisible())
            order << w->objectName();
    }
    QTEST(order, "focusOrder");
}

void TestRegisterPickers::preselectsTheCurrentCode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("shown");

    const QList<QStringList> oneTwoThree { { "1", "Ett" }, { "2", "Två" }, { "3", "Tre" } };
    QTest::newRow("rows 1, 2, 3 and current 2") << threeRows << "2" << oneTwoThree << 1 << "Två";
    QTest::newRow("no ID begins with it") << threeRows << "9" << oneTwoThree << -1 << "";
    QTest::newRow("no current code") << threeRows << "" << oneTwoThree << -1 << "";
    QTest::newRow("prefix: 10 before 1") << QByteArray("\"10\",\"Tio\"\r\n\"1\",\"Ett\"\r\n") << "1"
                                         << QList<QStringList> { { "10", "Tio" }, { "1", "Ett" } } << 0 << "Tio";
    QTest::newRow("letter case ignored") << QByteArray("\"B\",\"Bee\"\r\n\"A\",\"Aa\"\r\n") << "a"
                                         << QList<QStringList> { { "B", "Bee" }, { "A", "Aa" } } << 1 << "Aa";
    QTest::newRow("empty register") << QByteArray() << "2" << QList<QStringList> {} << -1 << "";
    QTest::newRow("file order, duplicates, unquoted")
        << QByteArray("\"2\",\"Sist\"\r\n2,F\xF6rst\r\n\r\n\"0\",\"Noll, ingen\"\r\n") << "2"
        << QList<QStringList> { { "2", "Sist" }, { "2", "Först" }, { "0", "Noll, ingen" } } << 0 << "Sist";
}

void TestRegisterPickers::preselectsTheCurrentCode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, current);
    QFETCH(QList<QStringList>, rows);
    QFETCH(int, selected);
    QFETCH(QString, shown);

    OrderDesk desk({ { kinds[1].file, bytes } });
    desk.box("txt_LevS")->setText(current);
    QCOMPARE(desk.order().text(Field::DeliveryMethod), current);
    RegisterPicker* picker = openPicker(desk, kinds[1]);
    QVERIFY(picker);

    QCOMPARE(picker->codeList()->reportModel()->rows(), rows);
    QCOMPARE(picker->codeList()->selectedRows(), selected < 0 ? QList<int> {} : QList<int> { selected });
    QCOMPARE(picker->lbl_old_id()->text(), shown);
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestRegisterPickers::leavingThePicker_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("written"); // row 3 chosen; the box holds 5 by then

    // Each picker's code reaching its box, and "OK" without a row, are keysAndDoubleClick's.
    QTest::newRow("OK") << 0 << "OK" << 3;
    QTest::newRow("Avbryt") << 1 << "Avbryt" << 5;
    QTest::newRow("close box") << 2 << "close" << 5;
}

void TestRegisterPickers::leavingThePicker()
{
    QFETCH(int, kind);
    QFETCH(QString, how);
    QFETCH(int, written);

    OrderDesk desk({ { kinds[kind].file, threeRows } });
    TextBox* box = desk.box(kinds[kind].box);
    box->setText("2");
    QPointer<RegisterPicker> picker = openPicker(desk, kinds[kind]);
    QVERIFY(picker);
    QVERIFY(showActive(*picker));

    clickRow(picker->codeList(), 2, 1);
    // The frame still describes the code the order had when the picker opened,
    // and "OK" writes over whatever the box holds by now.
    QCOMPARE(picker->lbl_old_id()->text(), QString("Två"));
    box->setText("5");

    if (how == "close")
        picker->close();
    else
        QTest::mouseClick(how == "OK" ? picker->okButton() : picker->cancelButton(), Qt::LeftButton);
    // Only the ID goes back to the order, never the description.
    QCOMPARE(box->text(), QString::number(written));
    QCOMPARE(desk.order().text(kinds[kind].field), QString::number(written));
    QTRY_VERIFY(!picker);
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestRegisterPickers::keysAndDoubleClick_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QList<int>>("keys"); // pressed from the moment the picker opens
    QTest::addColumn<int>("doubleClicked"); // the row double-clicked last; -1: none
    QTest::addColumn<QString>("written"); // the order's code afterwards
    QTest::addColumn<bool>("closed");

    using Keys = QList<int>;
    QTest::newRow("Enter takes the pre-selected row") << 1 << "2" << Keys { Qt::Key_Return } << -1 << "2" << true;
    QTest::newRow("Down, Enter") << 0 << "2" << Keys { Qt::Key_Down, Qt::Key_Return } << -1 << "3" << true;
    QTest::newRow("Up, keypad Enter") << 2 << "2" << Keys { Qt::Key_Up, Qt::Key_Enter } << -1 << "1" << true;
    QTest::newRow("Down, Down, Up, Enter")
        << 1 << "1" << Keys { Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Return } << -1 << "2" << true;
    QTest::newRow("Down without a pre-selection takes the first row")
        << 1 << "9" << Keys { Qt::Key_Down, Qt::Key_Return } << -1 << "1" << true;
    QTest::newRow("Enter without a row asks for one") << 0 << "9" << Keys { Qt::Key_Return } << -1 << "9" << false;
    QTest::newRow("Enter on OK") << 0 << "2" << Keys { Qt::Key_Down, Qt::Key_Tab, Qt::Key_Return } << -1 << "3" << true;
    QTest::newRow("Enter on Avbryt") << 1 << "2" << Keys { Qt::Key_Down, Qt::Key_Tab, Qt::Key_Return } << -1 << "2"
                                     << true;
    QTest::newRow("Escape in the list") << 0 << "2" << Keys { Qt::Key_Down, Qt::Key_Escape } << -1 << "2" << true;
    QTest::newRow("Escape on OK") << 2 << "2" << Keys { Qt::Key_Down, Qt::Key_Tab, Qt::Key_Escape } << -1 << "2"
                                  << true;
    QTest::newRow("double click on a row") << 0 << "2" << Keys {} << 0 << "1" << true;
    QTest::newRow("double click after keys") << 1 << "3" << Keys { Qt::Key_Up } << 2 << "3" << true;
}

void TestRegisterPickers::keysAndDoubleClick()
{
    QFETCH(int, kind);
    QFETCH(QString, current);
    QFETCH(QList<int>, keys);
    QFETCH(int, doubleClicked);
    QFETCH(QString, written);
    QFETCH(bool, closed);

    OrderDesk desk({ { kinds[kind].file, threeRows } });
    desk.box(kinds[kind].box)->setText(current);
    QPointer<RegisterPicker> picker = openPicker(desk, kinds[kind]);
    QVERIFY(picker);
    QVERIFY(QTest::qWaitForWindowActive(picker));

    for (int key : keys)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    if (doubleClicked >= 0) {
        ReportListView* list = picker->codeList();
        const QPoint row = list->visualRect(list->model()->index(doubleClicked, 1)).center();
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);
    }

    QCOMPARE(desk.box(kinds[kind].box)->text(), written);
    QCOMPARE(desk.order().text(kinds[kind].field), written);
    if (closed) {
        QTRY_VERIFY(!picker);
        QVERIFY(desk.boxes.shown.isEmpty());
    } else {
        QCOMPARE(openPicker(kinds[kind].name), picker.data());
        QCOMPARE(desk.boxes.shown.size(), 1);
        QCOMPARE(desk.boxes.shown.first().text, QString("Välj en rad i listan och klicka sedan på OK."));
    }
}

void TestRegisterPickers::missingRegisterIsReported()
{
    // No picker opens on a register that cannot be read; the operator is told
    // which file (the wording is the core reader's).
    OrderDesk desk;
    for (const Kind& kind : kinds)
        QVERIFY(!openPicker(desk, kind));
    QCOMPARE(desk.boxes.shown.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(desk.boxes.shown.at(i).icon, MessageBox::Icon::Critical);
        QVERIFY(desk.boxes.shown.at(i).text.contains(QDir::toNativeSeparators(desk.folder.path(kinds[i].file))));
    }

    // Once the register is there, the picker opens.
    desk.folder.write(kinds[0].file, threeRows);
    QVERIFY(openPicker(desk, kinds[0]));
}

void TestRegisterPickers::oneInstanceEach()
{
    OrderDesk desk(OrderDesk::Files { { kinds[0].file, threeRows }, { kinds[1].file, threeRows } });
    desk.box("txt_Betk")->setText("2");
    QPointer<RegisterPicker> first = openPicker(desk, kinds[0]);
    QVERIFY(first);
    first->codeList()->selectRowWithoutScrolling(2);

    // While open: the same window comes forward, the order's code it was
    // opened on kept, and a register another desk changed is listed anew.
    desk.box("txt_Betk")->setText("3");
    desk.choose("mnuData_Betk");
    QCOMPARE(first->codeList()->selectedRows(), QList<int> { 2 });
    desk.folder.write(kinds[0].file, "\"2\",\"Tv\xE5 m\xE5nader\"\r\n\"7\",\"Sju\"\r\n");
    desk.box("txt_Betk")->setText("7");
    desk.choose("mnuData_Betk");
    desk.choose("mnuData_Levs");
    int pickers = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        pickers += widget->objectName() == "frmBetk";
    QCOMPARE(pickers, 1);
    QCOMPARE(openPicker("frmBetk"), first.data());
    QTRY_COMPARE_WITH_TIMEOUT(first->codeList()->reportModel()->rows().size(), 2, 3000);
    QCOMPARE(first->lbl_old_id()->text(), QString("Två månader"));
    QVERIFY(openPicker("frmLevS"));

    // Closed and opened again: the register and the order's code are read afresh.
    first->cancelButton()->click();
    QTRY_VERIFY(!first);
    RegisterPicker* second = openPicker(desk, kinds[0]);
    QVERIFY(second);
    QCOMPARE(second->codeList()->reportModel()->rows(),
             (QList<QStringList> { { "2", "Två månader" }, { "7", "Sju" } }));
    QCOMPARE(second->lbl_old_id()->text(), QString("Sju"));
}

QTEST_MAIN(TestRegisterPickers)
#include "tst_registerpickers.moc"
