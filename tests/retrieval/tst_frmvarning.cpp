// The error catalogue, opened with the order window's help entry "Felmeddelande".

#include "retrieval/frmvarning.h"
#include "support/testsupport.h"
#include "widgets/messagebox.h"

#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

const QString catalogue = QStringLiteral("Registret/Felmeddelande/");

const QString errorIndex = catalogue + "ErrorID.txt";

// The order window's "Felmeddelande" help entry and the catalogue window it shows.
FrmVarning* chooseHelpEntry(OrderDesk& desk)
{
    return desk.open<FrmVarning>("mnuHelp_Varning");
}

QStringList texts(const QListWidget* list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result.append(list->item(i)->text());
    return result;
}

void clickRow(QListWidget* list, int row)
{
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

} // namespace

class TestFrmVarning : public QObject
{
    Q_OBJECT

private slots:
    void indexLinesBecomeIds();
    void missingCatalogueGivesEmptyWindow();
    void choosingAnIdShowsItsEntry_data();
    void choosingAnIdShowsItsEntry();
    void arrowKeysChooseIdsFromTheFirst();
};

void TestFrmVarning::indexLinesBecomeIds()
{
    // Each line of the index is an id as it stands, read as every text file
    // of the program is.
    OrderDesk desk({ { errorIndex, "1001,06\r\n \"1033,87\" \r\n\r\n1001,06\r\nFel i \xE5tkomst" },
                     { catalogue + ".txt", "V\xE4lj ett fel i listan\r\n" } });

    FrmVarning* window = chooseHelpEntry(desk);
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Felmeddelanden"));
    QCOMPARE(texts(window->List1()), (QStringList { "1001,06", " \"1033,87\" ", "", "1001,06", "Fel i åtkomst" }));
    QVERIFY(window->List1()->selectedItems().isEmpty());
    // The file named by the empty selection shows before any id is chosen.
    QCOMPARE(texts(window->List2()), QStringList { "Välj ett fel i listan" });
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestFrmVarning::missingCatalogueGivesEmptyWindow()
{
    OrderDesk desk;
    desk.folder.remove(QStringLiteral("Registret/Felmeddelande"));

    QPointer<FrmVarning> window = chooseHelpEntry(desk);
    QVERIFY(window);
    QVERIFY(!window->isModal());
    QCOMPARE(window->List1()->count(), 0);
    QCOMPARE(window->List2()->count(), 0);

    QTest::mouseClick(window->closeButton(), Qt::LeftButton);
    QTRY_VERIFY(!window);
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestFrmVarning::choosingAnIdShowsItsEntry_data()
{
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("entry");

    QTest::newRow("id with a comma") << QByteArray("1001,06\r\n1033,87\r\n") << 1
                                     << QStringList { "Fel vid borttagning", "av orderrader, \"kod\" 87" };
    QTest::newRow("second of two equal ids") << QByteArray("1033,87\r\n1033,87\r\n") << 1
                                             << QStringList { "Fel vid borttagning", "av orderrader, \"kod\" 87" };
    QTest::newRow("trailing blank names its own file") << QByteArray("1033,87 \r\n") << 0 << QStringList {};
    QTest::newRow("trailing blank with its file") << QByteArray("1050,03 \r\n") << 0 << QStringList { "Med blank" };
    QTest::newRow("empty id shows .txt") << QByteArray("1033,87\r\n\r\n") << 1 << QStringList { "Punkt-txt" };
    QTest::newRow("id without a file") << QByteArray("9999,99\r\n") << 0 << QStringList {};
    QTest::newRow("id reaching outside the catalogue") << QByteArray("../OrderNr\r\n") << 0 << QStringList {};
}

void TestFrmVarning::choosingAnIdShowsItsEntry()
{
    QFETCH(QByteArray, lines);
    QFETCH(int, row);
    OrderDesk desk({ { errorIndex, "1001,06\r\n" + lines },
                     { catalogue + "1001,06.txt", "Fel vid produktrad\r\n" },
                     { catalogue + "1033,87.txt", "Fel vid borttagning\r\nav orderrader, \"kod\" 87\r\n" },
                     { catalogue + "1050,03 .txt", "Med blank\r\n" },
                     { catalogue + ".txt", "Punkt-txt\r\n" },
                     { "Registret/OrderNr.txt", "Utanför katalogen\r\n" } });

    FrmVarning* window = chooseHelpEntry(desk);
    QVERIFY(window);
    clickRow(window->List1(), 0);
    QCOMPARE(texts(window->List2()), QStringList { "Fel vid produktrad" });
    clickRow(window->List1(), row + 1);
    QCOMPARE(window->List1()->currentRow(), row + 1);
    QTEST(texts(window->List2()), "entry");
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestFrmVarning::arrowKeysChooseIdsFromTheFirst()
{
    OrderDesk desk({ { errorIndex, "1001,06\r\n1033,87\r\n" },
                     { catalogue + "1001,06.txt", "Produktrad\r\n" },
                     { catalogue + "1033,87.txt", "Borttagning\r\n" } });

    FrmVarning* window = chooseHelpEntry(desk);
    QVERIFY(window);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTRY_VERIFY(window->List1()->hasFocus());

    QTest::keyClick(window->List1(), Qt::Key_Down);
    QCOMPARE(window->List1()->currentRow(), 0);
    QCOMPARE(texts(window->List2()), QStringList { "Produktrad" });
    QTest::keyClick(window->List1(), Qt::Key_Down);
    QCOMPARE(window->List1()->currentRow(), 1);
    QCOMPARE(texts(window->List2()), QStringList { "Borttagning" });
}

QTEST_MAIN(TestFrmVarning)
#include "tst_frmvarning.moc"
