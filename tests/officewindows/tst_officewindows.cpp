// The Arkiv menu's office commands as the operator uses them: "Exportera
// order", "Säkerhetskopiera" with its reminder, and "Återställ från
// säkerhetskopia", after which the desk starts again on the restored folder.

#include "office/backup.h"
#include "officewindows/backupcommand.h"
#include "officewindows/frmaterstall.h"
#include "officewindows/frmorderexport.h"
#include "order/registration.h"
#include "orderwindow/deskstart.h"
#include "support/testsupport.h"
#include "widgets/filedialog.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTest>

namespace {

// The controls of a window that take the focus and have no name a screen
// reader could say.
QStringList unnamedControls(const QWidget* window)
{
    QStringList unnamed;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        if (control->focusPolicy() != Qt::NoFocus && control->isVisibleTo(window) && accessible
            && accessible->text(QAccessible::Name).isEmpty())
            unnamed.append(control->objectName() + u' ' + control->metaObject()->className());
    }
    return unnamed;
}

QString label(const QWidget* window, const char* name)
{
    const auto* shown = window->findChild<QLabel*>(QLatin1String(name));
    return shown ? shown->text() : QString();
}

// Order 1042 printed on 3 December 2026 in the sample data.
void printOrder(const TestDataFolder& folder)
{
    folder.copySample();
    core::Order order = sampleOrder(1);
    order.setText(core::Order::OrderNumber, QStringLiteral("1042"));
    order.setText(core::Order::OrderDate, QStringLiteral("261203"));
    QVERIFY(!core::registerOrder(folder.data(), order));
}

} // namespace

class TestOfficeWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void exportsThisMonthOnEnter();
    void voidedOrdersOnlyWhenTicked();
    void backupReminder_data();
    void backupReminder();
    void backsUpFromTheMenu();
    void restoreStartsTheDeskAgainOnTheBackup();

private:
    QTemporaryDir m_settings;
};

void TestOfficeWindows::initTestCase()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
}

void TestOfficeWindows::exportsThisMonthOnEnter()
{
    OrderDesk desk;
    printOrder(desk.folder);
    const QString file = desk.folder.programFolder() + "/december.csv";
    FileDialog::Answers answers({ file });
    FrmOrderExport* window = desk.open<FrmOrderExport>("mnuExportera");
    QVERIFY(window);
    QVERIFY(showActive(*window));
    QCOMPARE(window->findChild<QDateEdit*>("dtpFran")->date(), QDate(2026, 12, 1));
    QCOMPARE(window->findChild<QDateEdit*>("dtpTill")->date(), QDate(2026, 12, 31));
    QCOMPARE(unnamedControls(window), QStringList());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(answers.asked.size(), 1);
    QVERIFY(answers.asked.first().proposed.endsWith("/order-2026-12.csv"));
    QCOMPARE(desk.boxes.shown.size(), 1);
    QCOMPARE(desk.boxes.shown.first().text, "1 order från 2026-12-01 till 2026-12-31 är exporterade till\r\n" + file);
    QFile csv(file);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QCOMPARE(csv.readAll().count("\r\n"), 2);
}

void TestOfficeWindows::voidedOrdersOnlyWhenTicked()
{
    OrderDesk desk;
    printOrder(desk.folder);
    desk.folder.write("Order/status.dbf", "\"1042\",\"Makulerad\",\"2026-12-04 09:00:00\",\"Dubblett\"\r\n");
    const QString file = desk.folder.programFolder() + "/december.csv";
    FileDialog::Answers answers({ file, file });
    FrmOrderExport* window = desk.open<FrmOrderExport>("mnuExportera");
    QVERIFY(window && showActive(*window));
    const QString exported = " från 2026-12-01 till 2026-12-31 är exporterade till\r\n" + file;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(desk.boxes.shown.last().text,
             "0 order" + exported
                 + "\r\n\r\n1 makulerade order togs inte med. Kryssa i \"Ta med "
                   "makulerade\" för att få med dem.");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_M, Qt::AltModifier);
    QTRY_VERIFY(window->findChild<QCheckBox*>("chkMakulerade")->isChecked());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(desk.boxes.shown.last().text, "1 order" + exported);
}

void TestOfficeWindows::backupReminder_data()
{
    QTest::addColumn<QDate>("last");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("overdue");

    QTest::newRow("never") << QDate() << "&Säkerhetskopiera… (aldrig)" << true;
    QTest::newRow("a week ago") << QDate(2026, 11, 29) << "&Säkerhetskopiera… (senast 2026-11-29)" << false;
    QTest::newRow("eight days ago") << QDate(2026, 11, 28) << "&Säkerhetskopiera… (senast 2026-11-28)" << true;
}

void TestOfficeWindows::backupReminder()
{
    QFETCH(QDate, last);
    const BackupReminder reminder
        = ::backupReminder(last.isValid() ? std::optional(last) : std::nullopt, QDate(2026, 12, 6));
    QTEST(reminder.caption, "caption");
    QTEST(reminder.overdue, "overdue");
}

void TestOfficeWindows::backsUpFromTheMenu()
{
    OrderDesk desk;
    printOrder(desk.folder);
    QTemporaryDir backups;
    FileDialog::Answers answers({ backups.path(), QString() });
    QAction* entry = menuEntry(desk.window, "mnuSakerhetskopiera");
    QVERIFY(entry->text().endsWith("(aldrig)"));
    QVERIFY(!entry->icon().isNull());

    desk.choose("mnuSakerhetskopiera");
    QCOMPARE(QDir(backups.path()).entryList({ "orderregistrering-2026-12-06-0000.zip" }).size(), 1);
    QCOMPARE(desk.boxes.shown.size(), 1);
    QVERIFY(desk.boxes.shown.first().text.startsWith("Säkerhetskopian är sparad och kontrollerad:\r\n"
                                                     + QDir::toNativeSeparators(backups.path())));
    QCOMPARE(entry->text(), QStringLiteral("&Säkerhetskopiera… (senast 2026-12-06)"));
    QVERIFY(entry->icon().isNull());

    // The folder chosen is where the next backup begins; a cancelled dialog makes none.
    desk.choose("mnuSakerhetskopiera");
    QCOMPARE(answers.asked.at(1).proposed, backups.path());
    QCOMPARE(desk.boxes.shown.size(), 1);
}

void TestOfficeWindows::restoreStartsTheDeskAgainOnTheBackup()
{
    TestDataFolder folder;
    printOrder(folder);
    QTemporaryDir backups;
    const QString archive = office::backUp(folder.data(), backups.path(), QDateTime::currentDateTime()).zipFile;
    QVERIFY(!archive.isEmpty());
    folder.write("Registret/OrderNr.dbf", "1050\r\n");
    const QString notAnArchive = backups.path() + "/lista.zip";
    QVERIFY(QFile::copy(folder.path("Order/lista.dbf"), notAnArchive));

    MessageBox::Recorder boxes;
    FileDialog::Answers answers({ notAnArchive, archive, archive });
    const std::unique_ptr<DeskStart> desk = startDesk(folder.data(), [] { return QDate(2026, 12, 6).startOfDay(); });
    OrderWindow* before = desk->window.get();
    QVERIFY(before && showActive(*before));
    choose(*before, "mnuAterstall");
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown.first().icon, MessageBox::Icon::Critical);
    QCOMPARE(boxes.shown.first().text,
             "Säkerhetskopian kan inte återställas.\r\n\r\nFil: " + notAnArchive
                 + "\r\nOrsak: Filen är ingen säkerhetskopia: den är inget zip-arkiv."
                   "\r\n\r\nIngenting har ändrats.");
    QVERIFY(visibleWindows<FrmAterstall>().isEmpty());

    // Another desk works on the folder: the restore is refused, naming it.
    {
        const datafiles::DataDirectory other(folder.programFolder(), datafiles::Desk::another());
        datafiles::DeskPresence present(other);
        QVERIFY(!present.announce());
        choose(*before, "mnuAterstall");
        QTest::mouseClick(visibleWindow<FrmAterstall>()->findChild<QPushButton*>("cmdAterstall"), Qt::LeftButton);
        QCOMPARE(boxes.shown.size(), 2);
        QVERIFY2(boxes.shown.last().text.contains("andra skrivbord arbetar i datamappen")
                     && boxes.shown.last().text.contains(other.desk().record().description().section(u',', 0, 1)),
                 qPrintable(boxes.shown.last().text));
        QCOMPARE(folder.read("Registret/OrderNr.dbf"), QByteArray("1050\r\n"));
        visibleWindow<FrmAterstall>()->close();
    }

    choose(*before, "mnuAterstall");
    FrmAterstall* window = visibleWindow<FrmAterstall>();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Återställ från säkerhetskopia"));
    QCOMPARE((QStringList { label(window, "lblOrder"), label(window, "lblSenasteOrdernr"), label(window, "lblKunder"),
                            label(window, "lblProdukter") }),
             (QStringList { "1", "1042", "21", "395" }));
    QCOMPARE(unnamedControls(window), QStringList());
    QTest::mouseClick(window->findChild<QPushButton*>("cmdAterstall"), Qt::LeftButton);

    QCOMPARE(boxes.shown.size(), 3);
    QVERIFY(boxes.shown.last().text.startsWith("Säkerhetskopian är återställd.\r\n\r\nDet som fanns i datamappen "
                                               "förut finns kvar i\r\n"
                                               + folder.path("System.före-återställning-2026-12-06-000000")));
    QCOMPARE(folder.read("Registret/OrderNr.dbf"), QByteArray("1042\r\n"));
    // A new order window, as at the program's start, its first order
    // numbered, and the desk present on the restored folder.
    QVERIFY(desk->window.get() != before);
    QVERIFY(desk->window->isVisible());
    QCOMPARE(desk->window->order().text(core::Order::OrderNumber), QStringLiteral("1043"));
    QVERIFY(desk->window->order().lines().isEmpty());
    QVERIFY(QFile::exists(folder.data().presenceFile(datafiles::Desk::ofProcess()->id())));
}

QTEST_MAIN(TestOfficeWindows)
#include "tst_officewindows.moc"
