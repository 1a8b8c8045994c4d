// The payment-terms, delivery and freight pickers.

#include "orderwindow/frmmain.h"
#include "orderwindow/reportlistview.h"
#include "orderwindow/textbox.h"
#include "orderwindow/twips.h"
#include "pickers/registerpicker.h"
#include "retrieval/messagebox.h"
#include "support/testsupport.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using Register = RegisterPicker::Register;
Q_DECLARE_METATYPE(RegisterPicker::Register)

namespace {

const QByteArray threeRows("\"1\",\"Ett\"\r\n\"2\",\"Tv\xE5\"\r\n\"3\",\"Tre\"\r\n");

QString registerFile(Register which)
{
    switch (which) {
    case Register::PaymentTerms:
        return "Registret/Betalningsvillkor.dbf";
    case Register::DeliveryMethod:
        return "Registret/Leveranssätt.dbf";
    case Register::FreightMethod:
        break;
    }
    return "Registret/Fraktsätt.dbf";
}

TextBox* orderBox(const FrmMain& window, Register which)
{
    switch (which) {
    case Register::PaymentTerms:
        return window.txt_Betk();
    case Register::DeliveryMethod:
        return window.txt_LevS();
    case Register::FreightMethod:
        break;
    }
    return window.txt_Frkts();
}

// The open picker of that name, if any.
RegisterPicker* openPicker(const QString& name)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name && widget->isVisible())
            return qobject_cast<RegisterPicker*>(widget);
    }
    return nullptr;
}

QStringList rowTexts(const RegisterPicker& picker, int row)
{
    return picker.ListView1()->reportModel()->rowTexts(row);
}

bool bringUp(QWidget& window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
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
    void okWritesTheIdOnly_data();
    void okWritesTheIdOnly();
    void cancelAndCloseBoxChangeNothing();
    void okWithoutASelectedRow();
    void enterAndEscapeDoNothing();
    void missingRegisterIsReported_data();
    void missingRegisterIsReported();
    void incompleteLastRecord();
    void oneInstanceEach();
    void functionKeysOpenThePickers();
};

void TestRegisterPickers::layoutPerPicker_data()
{
    QTest::addColumn<Register>("which");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("frameCaption");
    QTest::addColumn<QStringList>("focusOrder");

    QTest::newRow("payment terms") << Register::PaymentTerms << "frmBetk" << "Betalningsvillkor"
                                   << "Nuvarande betalningsvillkor" << QStringList{"ListView1", "Command1", "Command2"};
    QTest::newRow("delivery") << Register::DeliveryMethod << "frmLevS" << "Leveranssätt" << "Nuvarande leveranssätt"
                              << QStringList{"ListView1", "Command2", "Command1"};
    QTest::newRow("freight") << Register::FreightMethod << "frmFrkts" << "Fraktsätt" << "Nuvarande fraktsätt"
                             << QStringList{"ListView1", "Command1", "Command2"};
}

void TestRegisterPickers::layoutPerPicker()
{
    QFETCH(Register, which);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, frameCaption);
    QFETCH(QStringList, focusOrder);

    TestDataFolder folder;
    folder.write(registerFile(which), threeRows);
    FrmMain window(folder.data());
    std::unique_ptr<RegisterPicker> picker(RegisterPicker::create(window, which));
    QVERIFY(picker);
    QVERIFY(!picker->parent());

    QCOMPARE(picker->objectName(), name);
    QCOMPARE(picker->windowTitle(), caption);
    QCOMPARE(picker->Frame1()->title(), frameCaption);
    QCOMPARE(picker->size(), QSize(twipsToPixels(6255), twipsToPixels(4695)));
    QCOMPARE(picker->minimumSize(), picker->maximumSize());
    QVERIFY(!(picker->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(picker->Command1()->text(), QString("OK"));
    QCOMPARE(picker->Command2()->text(), QString("Avbryt"));
    QCOMPARE(picker->ListView1()->columnCaption(0), QString("ID"));
    QCOMPARE(picker->ListView1()->columnCaption(1), QString("Beskrivning"));
    QCOMPARE(picker->ListView1()->columnWidthTwips(0), 800.f);
    QCOMPARE(picker->ListView1()->columnWidthTwips(1), 4000.f);
    QVERIFY(!picker->lbl_old()->isVisibleTo(picker.get()));
    QVERIFY(picker->lbl_old_id()->font().underline());
    QCOMPARE(picker->lbl_old_id()->palette().color(QPalette::WindowText), QColor(0, 0, 128));

    QVERIFY(bringUp(*picker));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(picker->ListView1()));
    QStringList order;
    QWidget* w = picker->ListView1();
    for (int i = 0; i < 3; ++i, w = w->nextInFocusChain()) {
        while (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(picker.get()))
            w = w->nextInFocusChain();
        order << w->objectName();
    }
    QCOMPARE(order, focusOrder);
}

void TestRegisterPickers::preselectsTheCurrentCode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("shown");

    const QList<QStringList> oneTwoThree{{"1", "Ett"}, {"2", "Två"}, {"3", "Tre"}};
    QTest::newRow("rows 1, 2, 3 and current 2") << threeRows << "2" << oneTwoThree << 1 << "Två";
    QTest::newRow("a code no ID begins with") << threeRows << "9" << oneTwoThree << -1 << "";
    QTest::newRow("prefix: 10 before 1")
        << QByteArray("\"10\",\"Tio\"\r\n\"1\",\"Ett\"\r\n") << "1"
        << QList<QStringList>{{"10", "Tio"}, {"1", "Ett"}} << 0 << "Tio";
    QTest::newRow("letter case ignored") << QByteArray("\"B\",\"Bee\"\r\n\"A\",\"Aa\"\r\n") << "a"
                                         << QList<QStringList>{{"B", "Bee"}, {"A", "Aa"}} << 1 << "Aa";
    QTest::newRow("empty register") << QByteArray() << "2" << QList<QStringList>{} << -1 << "";
    QTest::newRow("no current code") << threeRows << "" << oneTwoThree << -1 << "";
    QTest::newRow("rows kept in file order, duplicates too")
        << QByteArray("\"2\",\"Sist\"\r\n2,F\xF6rst\r\n\r\n\"0\",\"Noll, ingen\"\r\n") << "2"
        << QList<QStringList>{{"2", "Sist"}, {"2", "Först"}, {"0", "Noll, ingen"}} << 0 << "Sist";
    QTest::newRow("records by field count, not by line")
        << QByteArray("\"1\",\"Ett\",\"2\"\r\n\"Tv\xE5\"\r\n") << "2" << QList<QStringList>{{"1", "Ett"}, {"2", "Två"}}
        << 1 << "Två";
}

void TestRegisterPickers::preselectsTheCurrentCode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, current);
    QFETCH(QList<QStringList>, rows);
    QFETCH(int, selected);
    QFETCH(QString, shown);

    TestDataFolder folder;
    folder.write(registerFile(Register::DeliveryMethod), bytes);
    MessageBox::Recorder recorder;
    FrmMain window(folder.data());
    window.txt_LevS()->setText(current);
    std::unique_ptr<RegisterPicker> picker(RegisterPicker::create(window, Register::DeliveryMethod));
    QVERIFY(picker);

    QCOMPARE(picker->ListView1()->reportModel()->rows(), rows);
    QCOMPARE(picker->ListView1()->selectedRows(), selected < 0 ? QList<int>{} : QList<int>{selected});
    QCOMPARE(picker->lbl_old_id()->text(), shown);
    QCOMPARE(picker->lbl_old()->text(), current);
    QVERIFY(recorder.shown.isEmpty());
}

void TestRegisterPickers::okWritesTheIdOnly_data()
{
    QTest::addColumn<Register>("which");
    QTest::newRow("payment terms") << Register::PaymentTerms;
    QTest::newRow("delivery") << Register::DeliveryMethod;
    QTest::newRow("freight") << Register::FreightMethod;
}

void TestRegisterPickers::okWritesTheIdOnly()
{
    QFETCH(Register, which);

    TestDataFolder folder;
    folder.write(registerFile(which), "\"1\",\"Ett\"\r\n\"22\",\"Tjugotv\xE5\"\r\n");
    FrmMain window(folder.data());
    orderBox(window, which)->setText("1");
    QPointer<RegisterPicker> picker = RegisterPicker::create(window, which);
    QVERIFY(picker);
    picker->setAttribute(Qt::WA_DeleteOnClose);
    QVERIFY(bringUp(*picker));

    const QRect second = picker->ListView1()->visualRect(picker->ListView1()->model()->index(1, 1));
    QTest::mouseClick(picker->ListView1()->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(picker->ListView1()->selectedRows(), QList<int>{1});
    // The frame still describes the code the order had when the picker opened.
    QCOMPARE(picker->lbl_old_id()->text(), QString("Ett"));
    // The order's box may have changed meanwhile; "OK" writes over it.
    orderBox(window, which)->setText("5");

    QTest::mouseClick(picker->Command1(), Qt::LeftButton);
    QCOMPARE(orderBox(window, which)->text(), QString("22"));
    QTRY_VERIFY(!picker);
}

void TestRegisterPickers::cancelAndCloseBoxChangeNothing()
{
    TestDataFolder folder;
    folder.write(registerFile(Register::FreightMethod), threeRows);
    FrmMain window(folder.data());
    window.txt_Frkts()->setText("2");

    for (bool closeBox : {false, true}) {
        window.mnuData_Frkts_Click();
        RegisterPicker* picker = openPicker("frmFrkts");
        QVERIFY(picker);
        picker->ListView1()->selectRowWithoutScrolling(2);
        if (closeBox)
            picker->close();
        else
            QTest::mouseClick(picker->Command2(), Qt::LeftButton);
        QVERIFY(!openPicker("frmFrkts"));
        QCOMPARE(window.txt_Frkts()->text(), QString("2"));
    }
}

void TestRegisterPickers::okWithoutASelectedRow()
{
    TestDataFolder folder;
    folder.write(registerFile(Register::PaymentTerms), threeRows);
    MessageBox::Recorder recorder;
    FrmMain window(folder.data());
    window.txt_Betk()->setText("9");
    window.mnuData_Betk_Click();
    RegisterPicker* picker = openPicker("frmBetk");
    QVERIFY(picker);
    QVERIFY(picker->ListView1()->selectedRows().isEmpty());

    QTest::mouseClick(picker->Command1(), Qt::LeftButton);
    QCOMPARE(window.txt_Betk()->text(), QString("9"));
    QCOMPARE(openPicker("frmBetk"), picker);
    QCOMPARE(recorder.shown.size(), 1);
    QCOMPARE(recorder.shown.first().icon, MessageBox::Icon::Information);
    QCOMPARE(recorder.shown.first().text, QString("Välj en rad i listan och klicka sedan på OK."));

    // Once a row is chosen, "OK" takes it.
    picker->ListView1()->selectRowWithoutScrolling(0);
    QTest::mouseClick(picker->Command1(), Qt::LeftButton);
    QCOMPARE(window.txt_Betk()->text(), QString("1"));
    QVERIFY(!openPicker("frmBetk"));
}

void TestRegisterPickers::enterAndEscapeDoNothing()
{
    TestDataFolder folder;
    folder.write(registerFile(Register::DeliveryMethod), threeRows);
    MessageBox::Recorder recorder;
    FrmMain window(folder.data());
    window.txt_LevS()->setText("3");
    window.mnuData_Levs_Click();
    RegisterPicker* picker = openPicker("frmLevS");
    QVERIFY(picker);
    QVERIFY(bringUp(*picker));
    picker->ListView1()->selectRowWithoutScrolling(0);

    QList<QWidget*> targets{picker->ListView1(), picker->Command1(), picker->Command2()};
    for (QWidget* target : targets) {
        target->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(target, key);
        // A double click only selects.
        const QRect row = picker->ListView1()->visualRect(picker->ListView1()->model()->index(1, 0));
        QTest::mouseDClick(picker->ListView1()->viewport(), Qt::LeftButton, {}, row.center());
    }
    QCOMPARE(openPicker("frmLevS"), picker);
    QCOMPARE(window.txt_LevS()->text(), QString("3"));
    QCOMPARE(picker->ListView1()->selectedRows(), QList<int>{1});
    QVERIFY(recorder.shown.isEmpty());
}

void TestRegisterPickers::missingRegisterIsReported_data()
{
    QTest::addColumn<Register>("which");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("operation");
    QTest::newRow("payment terms") << Register::PaymentTerms << "frmBetk" << "betalningsvillkor";
    QTest::newRow("delivery") << Register::DeliveryMethod << "frmLevS" << "leveranssätt";
    QTest::newRow("freight") << Register::FreightMethod << "frmFrkts" << "fraktsätt";
}

void TestRegisterPickers::missingRegisterIsReported()
{
    QFETCH(Register, which);
    QFETCH(QString, name);
    QFETCH(QString, operation);

    TestDataFolder folder;
    MessageBox::Recorder recorder;
    FrmMain window(folder.data());
    orderBox(window, which)->setText("1");
    switch (which) {
    case Register::PaymentTerms:
        window.mnuData_Betk_Click();
        break;
    case Register::DeliveryMethod:
        window.mnuData_Levs_Click();
        break;
    case Register::FreightMethod:
        window.mnuData_Frkts_Click();
        break;
    }
    QVERIFY(!openPicker(name));
    QCOMPARE(recorder.shown.size(), 1);
    QCOMPARE(recorder.shown.first().icon, MessageBox::Icon::Critical);
    QVERIFY2(recorder.shown.first().text.contains(operation), qPrintable(recorder.shown.first().text));
    QVERIFY(recorder.shown.first().text.contains(QFileInfo(folder.path(registerFile(which))).fileName()));
    QCOMPARE(orderBox(window, which)->text(), QString("1"));

    // Once the register is there, the picker opens.
    folder.write(registerFile(which), threeRows);
    window.findChild<QAction*>(which == Register::PaymentTerms     ? "mnuData_Betk"
                               : which == Register::DeliveryMethod ? "mnuData_Levs"
                                                                   : "mnuData_Frkts")
        ->trigger();
    QVERIFY(openPicker(name));
    QCOMPARE(recorder.shown.size(), 1);
}

void TestRegisterPickers::incompleteLastRecord()
{
    TestDataFolder folder;
    folder.write(registerFile(Register::PaymentTerms), "\"1\",\"Ett\"\r\n\"2\",\"Tv\xE5\"\r\n\"3\"\r\n");
    MessageBox::Recorder recorder;
    FrmMain window(folder.data());
    window.txt_Betk()->setText("3");
    window.mnuData_Betk_Click();
    RegisterPicker* picker = openPicker("frmBetk");
    QVERIFY(picker);
    QCOMPARE(picker->ListView1()->reportModel()->rows(), (QList<QStringList>{{"1", "Ett"}, {"2", "Två"}}));
    QVERIFY(picker->ListView1()->selectedRows().isEmpty());
    QCOMPARE(recorder.shown.size(), 1);
    QVERIFY(recorder.shown.first().text.contains("Betalningsvillkor.dbf"));
}

void TestRegisterPickers::oneInstanceEach()
{
    TestDataFolder folder;
    folder.write(registerFile(Register::PaymentTerms), threeRows);
    FrmMain window(folder.data());
    window.txt_Betk()->setText("2");

    window.mnuData_Betk_Click();
    RegisterPicker* first = openPicker("frmBetk");
    QVERIFY(first);
    first->ListView1()->selectRowWithoutScrolling(2);

    // Open: the same window comes forward, neither reloaded nor re-selected.
    folder.write(registerFile(Register::PaymentTerms), "\"7\",\"Sju\"\r\n");
    window.txt_Betk()->setText("7");
    window.mnuData_Betk_Click();
    QCOMPARE(openPicker("frmBetk"), first);
    QCOMPARE(first->ListView1()->reportModel()->rows().size(), 3);
    QCOMPARE(first->ListView1()->selectedRows(), QList<int>{2});
    QCOMPARE(first->lbl_old_id()->text(), QString("Två"));
    int pickers = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        pickers += widget->objectName() == "frmBetk";
    QCOMPARE(pickers, 1);

    // Closed and opened again: the register and the order's code are read afresh.
    QPointer<RegisterPicker> closed = first;
    QTest::mouseClick(first->Command2(), Qt::LeftButton);
    QTRY_VERIFY(!closed);
    window.mnuData_Betk_Click();
    RegisterPicker* second = openPicker("frmBetk");
    QVERIFY(second);
    QCOMPARE(second->ListView1()->reportModel()->rows(), (QList<QStringList>{{"7", "Sju"}}));
    QCOMPARE(second->lbl_old_id()->text(), QString("Sju"));

    // The three pickers are separate windows, open side by side.
    folder.write(registerFile(Register::DeliveryMethod), threeRows);
    window.mnuData_Levs_Click();
    QVERIFY(openPicker("frmLevS"));
    QCOMPARE(openPicker("frmBetk"), second);
}

void TestRegisterPickers::functionKeysOpenThePickers()
{
    TestDataFolder folder;
    folder.write(registerFile(Register::DeliveryMethod), threeRows);
    folder.write(registerFile(Register::FreightMethod), threeRows);
    FrmMain window(folder.data());
    QVERIFY(bringUp(window));

    QTest::keyClick(&window, Qt::Key_F4);
    QTRY_VERIFY(openPicker("frmLevS"));
    QVERIFY(!openPicker("frmFrkts"));
    QVERIFY(bringUp(window));
    QTest::keyClick(&window, Qt::Key_F5);
    QTRY_VERIFY(openPicker("frmFrkts"));
}

QTEST_MAIN(TestRegisterPickers)
#include "tst_registerpickers.moc"
