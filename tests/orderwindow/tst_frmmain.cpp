// The order window as the operator meets it: its controls, menus, keys and the
// context menu; every window it opens by keys alone, and Qt's words in Swedish.

#include "office/backup.h"
#include "order/order.h"
#include "support/machine.h"
#include "support/testsupport.h"
#include "widgets/filedialog.h"
#include "widgets/qttranslation.h"
#include "widgets/reportlistview.h"
#include "widgets/textbox.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <memory>

namespace {

QWidget* shownSince(const QWidgetList& before)
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && !before.contains(top))
            return top;
    }
    return nullptr;
}

// What keeps a window from working by keys alone, by caption: a button, a
// menu or a choice without an access key, or one whose key another has.
QString accessKeyFaults(QWidget* window)
{
    QStringList faults, keys, captions;
    QWidgetList keyed;
    if (auto* menus = window->findChild<QMenuBar*>()) {
        for (QAction* menu : menus->actions())
            captions << menu->text();
    }
    // A text box's clear button is the box's; a choice's key is its caption's.
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (control->window() != window || !control->isVisibleTo(window)
            || qobject_cast<QLineEdit*>(control->parentWidget()))
            continue;
        auto* label = qobject_cast<QLabel*>(control);
        if (label && label->buddy() && label->text().contains(u'&')) {
            captions << label->text();
            keyed << label->buddy();
        } else if (qobject_cast<QAbstractButton*>(control))
            captions << control->property("text").toString();
        else if (qobject_cast<QComboBox*>(control))
            faults << control->objectName();
    }
    for (const QString& caption : std::as_const(captions)) {
        const QString key = QKeySequence::mnemonic(caption).toString();
        if (key.isEmpty() || keys.contains(key))
            faults << caption;
        keys << key;
    }
    for (QWidget* control : std::as_const(keyed))
        faults.removeOne(control->objectName());
    return window->windowTitle() + ": " + faults.join(", ");
}

// What a file dialog shows and says, as a screen reader reads it, and the
// entries of its menu.
void readAloud(QAccessibleInterface* node, QStringList& texts)
{
    if (!node)
        return;
    texts << node->text(QAccessible::Name) << node->text(QAccessible::Description) << node->text(QAccessible::Value);
    for (int i = 0; i < node->childCount(); ++i)
        readAloud(node->child(i), texts);
}

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensAsNewWindow();
    void legendsShowTheirWholeTextSideBySide();
    void textBoxesLook();
    void menusAndShortcuts();
    void contextMenuOnlyOverBackground();
    void escapeClosesOnlyTheOtherWindows_data();
    void escapeClosesOnlyTheOtherWindows();
    void tabOrder();
    void typingLimitBoundsOperatorOnly();
    void charactersOutsideCodePageAreRefused();
    void closingShowsNoBox();
    void qtSpeaksSwedishWhereItsTranslationIsInstalled();
    void everyWindowByKeysAlone();
    void fileDialogsSpeakSwedish();

private:
    TextBox* box(const char* name) const { return m_desk->box(name); }
    ReportListView* list() const { return m_desk->lines(); }

    // The commands behind the keys may report that the empty data folder lacks
    // their files; the desk takes the boxes down instead of showing them.
    std::unique_ptr<OrderDesk> m_desk;
    OrderWindow* m_window = nullptr;
};

void TestFrmMain::init()
{
    m_desk = std::make_unique<OrderDesk>();
    m_window = &m_desk->window;
    QVERIFY(showActive(*m_window));
}

void TestFrmMain::cleanup()
{
    m_window = nullptr;
    m_desk.reset();
}

void TestFrmMain::opensAsNewWindow()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("frmMain"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Orderregistrering"));
    QCOMPARE(box("txt_OrderNr")->text(), QStringLiteral("1"));
    QVERIFY(box("txt_OrderNr")->isReadOnly());
    QCOMPARE(list()->model()->rowCount(), 0);
    QCOMPARE(list()->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(m_window->order(), core::Order());
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    QVERIFY(!(m_window->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(m_window->windowFlags() & Qt::WindowMaximizeButtonHint));
    // The boxes of a fresh order, and its customer lines editable until the
    // first lookup, are tst_boxesandorder's.
}

void TestFrmMain::legendsShowTheirWholeTextSideBySide()
{
    // A legend grows to its text where the font is wider than designed; grown,
    // it still ends before the next begins, inside the strip.
    auto* strip = m_window->findChild<QWidget*>(QStringLiteral("Picture1"));
    int free = 0;
    for (const char* name : { "Label23", "Label25", "Label24", "Label26", "Label27" }) {
        auto* legend = strip->findChild<QLabel*>(QLatin1String(name));
        QVERIFY2(legend && legend->width() >= legend->sizeHint().width() && legend->x() >= free, name);
        free = legend->geometry().right() + 1;
    }
    QVERIFY(free <= strip->width());
}

void TestFrmMain::textBoxesLook()
{
    const QList<TextBox*> boxes = m_window->findChildren<TextBox*>();
    QCOMPARE(boxes.size(), 14);
    for (TextBox* box : boxes) {
        QVERIFY(!box->hasFrame());
        QCOMPARE(box->palette().color(QPalette::Text), QColor(255, 255, 0));
        QCOMPARE(box->palette().color(QPalette::Base), QColor(Qt::black));
        QVERIFY(box->font().bold());
    }
    const QMap<QString, int> limits { { "txt_KundField0", 15 }, { "txt_KundField1", 30 }, { "txt_OrderNr", 6 },
                                      { "txt_LevS", 1 },        { "txt_Mkod", 6 },        { "txt_Info", 200 } };
    for (auto it = limits.begin(); it != limits.end(); ++it)
        QCOMPARE(m_window->findChild<TextBox*>(it.key())->typingLimit(), it.value());
    auto* strip = m_window->findChild<QWidget*>(QStringLiteral("Picture1"));
    QCOMPARE(strip->palette().color(QPalette::Window), QColor(192, 0, 0));
}

void TestFrmMain::menusAndShortcuts()
{
    QStringList titles;
    for (QAction* menu : m_window->menuBar()->actions())
        titles << menu->text();
    QCOMPARE(titles, (QStringList { "&Arkiv", "&Data", "&Register", "&Visa", "&Hjälp" }));

    struct Entry
    {
        const char* name;
        const char* caption;
        QKeySequence key;
    };
    const Entry entries[] = {
        { "mnuNy", "Ny", Qt::Key_F1 },
        { "mnuHamta", "Hämta underlag", Qt::Key_F3 },
        { "mnuPrint", "Skriv ut", Qt::Key_F9 },
        { "mnuData_Betk", "Betalningsvillkor", {} },
        { "mnuData_Levs", "Leveranssätt", Qt::Key_F4 },
        { "mnuData_Frkts", "Fraktssätt", Qt::Key_F5 },
        { "mnuVisa_Produkter", "Produkter", Qt::Key_F12 },
        { "mnuHelp_Varning", "Felmeddelande", {} },
        { "mnuAvsluta", "&Avsluta", Qt::CTRL | Qt::Key_Q },
        { "mnuPlus", "Lägg till", {} },
        { "mnuMinus", "Ta bort", Qt::Key_Delete },
    };
    for (const Entry& entry : entries) {
        auto* action = m_window->findChild<QAction*>(QLatin1String(entry.name));
        QVERIFY2(action, entry.name);
        QCOMPARE(action->text(), QString::fromUtf8(entry.caption));
        QCOMPARE(action->shortcut(), entry.key);
    }

    // Each function key reaches its command from any control of the window.
    for (const auto& [key, name] :
         { std::pair { Qt::Key_F1, "mnuNy" }, std::pair { Qt::Key_F3, "mnuHamta" },
           std::pair { Qt::Key_F4, "mnuData_Levs" }, std::pair { Qt::Key_F5, "mnuData_Frkts" },
           std::pair { Qt::Key_F9, "mnuPrint" }, std::pair { Qt::Key_F12, "mnuVisa_Produkter" } }) {
        auto* action = m_window->findChild<QAction*>(QLatin1String(name));
        for (QWidget* from : { static_cast<QWidget*>(box("txt_Info")), static_cast<QWidget*>(list()) }) {
            from->setFocus();
            int triggered = 0;
            auto connection = connect(action, &QAction::triggered, [&] { ++triggered; });
            QTest::keyClick(from, key);
            disconnect(connection);
            QVERIFY2(triggered == 1, name);
        }
    }

    auto* popup = m_window->findChild<QMenu*>(QStringLiteral("mnuPop1"));
    QCOMPARE(popup->title(), QStringLiteral("&Popup"));
    QVERIFY(!m_window->menuBar()->actions().contains(popup->menuAction()));
}

void TestFrmMain::contextMenuOnlyOverBackground()
{
    auto* popup = m_window->findChild<QMenu*>(QStringLiteral("mnuPop1"));
    QVERIFY(popup);
    auto* background = m_window->findChild<QWidget*>(QStringLiteral("bg_pic"));

    QTest::mouseClick(list()->viewport(), Qt::RightButton, {}, QPoint(20, 20));
    QVERIFY(!popup->isVisible());

    QTest::mouseClick(background, Qt::LeftButton, {}, QPoint(400, 100));
    QVERIFY(!popup->isVisible());

    QTest::mousePress(background, Qt::RightButton, {}, QPoint(400, 100));
    QTRY_VERIFY(popup->isVisible());
    popup->hide();
}

void TestFrmMain::escapeClosesOnlyTheOtherWindows_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("window");
    QTest::newRow("retrieval") << "mnuHamta"
                               << "frmGetInfo";
    QTest::newRow("error catalogue") << "mnuHelp_Varning"
                                     << "frmVarning";
}

void TestFrmMain::escapeClosesOnlyTheOtherWindows()
{
    QFETCH(QString, entry);
    QFETCH(QString, window);

    m_desk->choose(qPrintable(entry));
    QPointer<QWidget> other = visibleWindow<QWidget>(qPrintable(window));
    QVERIFY(other);
    QVERIFY(QTest::qWaitForWindowActive(other));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!other);

    // The order window, alone again, ignores Escape wherever its focus stands.
    QVERIFY(showActive(*m_window));
    box("txt_Info")->setText(QStringLiteral("Bakre lastkajen"));
    for (QWidget* from : { static_cast<QWidget*>(box("txt_Info")), static_cast<QWidget*>(list()) }) {
        from->setFocus();
        QTest::keyClick(from, Qt::Key_Escape);
    }
    QTest::keyClick(m_window, Qt::Key_Escape);
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_desk->order().text(core::Order::Info), QStringLiteral("Bakre lastkajen"));
    QCOMPARE(box("txt_Info")->text(), QStringLiteral("Bakre lastkajen"));
    QVERIFY(m_desk->boxes.shown.isEmpty());
}

void TestFrmMain::tabOrder()
{
    const QStringList expected { "txt_KundField0", "txt_KundField1", "txt_LevDat",  "txt_OrdDat", "txt_RegNr",
                                 "txt_KundField3", "txt_KundField2", "txt_LevS",    "txt_Frkts",  "txt_Betk",
                                 "txt_Info",       "txt_Mkod",       "txt_OrderNr", "txt_lpl",    "ListView1" };
    box("txt_KundField0")->setFocus();
    QStringList visited { QApplication::focusWidget()->objectName() };
    for (int i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, expected);
}

void TestFrmMain::typingLimitBoundsOperatorOnly()
{
    TextBox* number = box("txt_KundField0");
    QTest::keyClicks(number, QStringLiteral("12345678901234567890"));
    QCOMPARE(number->text(), QStringLiteral("123456789012345"));

    // A picker may put a two-character code into a one-character box.
    TextBox* code = box("txt_Betk");
    code->setText(QStringLiteral("10"));
    QCOMPARE(code->text(), QStringLiteral("10"));
    code->setFocus();
    code->end(false);
    QTest::keyClicks(code, QStringLiteral("7"));
    QCOMPARE(code->text(), QStringLiteral("10"));
    QTest::keyClick(code, Qt::Key_Backspace);
    QCOMPARE(code->text(), QStringLiteral("1"));
    QTest::keyClick(code, Qt::Key_Backspace);
    QTest::keyClicks(code, QStringLiteral("23"));
    QCOMPARE(code->text(), QStringLiteral("2"));
}

void TestFrmMain::charactersOutsideCodePageAreRefused()
{
    TextBox* info = box("txt_Info");
    info->setFocus();
    // Typed one key at a time, as a keyboard with Swedish letters sends them.
    for (QChar c : QStringLiteral("Gröna ☃ lådor €")) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(info, &key);
    }
    QCOMPARE(info->text(), QStringLiteral("Gröna  lådor €"));
    QApplication::clipboard()->setText(QStringLiteral("Łódź"));
    QTest::keyClick(info, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(info->text(), QStringLiteral("Gröna  lådor €ód"));
}

void TestFrmMain::closingShowsNoBox()
{
    // Closing the order window ends the program without a word.
    QVERIFY(m_window->close());
    QVERIFY(m_desk->boxes.shown.isEmpty());
}

void TestFrmMain::qtSpeaksSwedishWhereItsTranslationIsInstalled()
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

    SKIP_IF_UNAVAILABLE(notInstalled(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qt_sv.qm"),
                                     QStringLiteral("qt6-translations-l10n")));
    QTranslator* swedish = installSwedishQtTexts(*qApp);
    QVERIFY(swedish);
    const QString translated = undo();
    QCoreApplication::removeTranslator(swedish);
    delete swedish;
    QCOMPARE(translated, QStringLiteral("&Ångra"));
}

void TestFrmMain::everyWindowByKeysAlone()
{
    m_desk->folder.copySample();
    m_desk->show(sampleOrder(2));
    QTemporaryDir backups;
    const QString list = m_desk->folder.path("Registret/Produkter.dbf");
    FileDialog::Answers files({ list, list, office::backUp(m_desk->folder.data(), backups.path(), {}).zipFile });
    QCOMPARE(accessKeyFaults(m_window), m_window->windowTitle() + ": ");
    for (const char* entry : { "mnuHamta", "mnuOrderhistorik", "mnuForhandsgranska", "mnuData_Betk",
                               "mnuVisa_Produkter", "mnuHelp_Varning", "mnuExportera", "mnuRegister_Kunder",
                               "mnuRegister_Produkter", "mnuRegister_Levs", "mnuRegister_ImporteraPrislista",
                               "mnuRegister_ImporteraKundlista", "mnuRegister_Exportera", "mnuAterstall" }) {
        const QWidgetList before = QApplication::topLevelWidgets();
        m_desk->choose(entry);
        QWidget* window = shownSince(before);
        QVERIFY2(window, entry);
        QCOMPARE(accessKeyFaults(window), window->windowTitle() + ": ");
        // And the form in which a register window adds a row.
        if (auto* add = window->findChild<QAbstractButton*>("cmdNy")) {
            add->click();
            QWidget* form = shownSince(before + QWidgetList { window });
            QCOMPARE(accessKeyFaults(form), form->windowTitle() + ": ");
            form->close();
        }
    }

    // Ctrl+Q, "Avsluta", closes every window, and so ends the program.
    QVERIFY(showActive(*m_window));
    QTest::keyClick(box("txt_Info"), Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(shownSince({}), nullptr);
}

void TestFrmMain::fileDialogsSpeakSwedish()
{
    static QTranslator* const qtSwedish = installSwedishQtTexts(*qApp);
    QVERIFY(installOwnSwedishTexts(*qApp));
    SKIP_IF_UNAVAILABLE(qtSwedish ? std::nullopt
                                  : notInstalled(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qt_sv.qm",
                                                 "qt6-translations-l10n"));
    // Each kind of dialog, opened on a folder that holds a folder.
    QTemporaryDir files;
    QVERIFY(QDir(files.path()).mkdir("Undermapp"));
    const QRegularExpression english("\\b(look|computer|folder|cancel|choose|open|save|new|files?|back|forward|"
                                     "parent|directory|detail|view|create|name|size|type|date|rename|delete)\\b",
                                     QRegularExpression::CaseInsensitiveOption);
    QStringList texts;
    int looked = 0;
    FileDialog::Looks looks([&](QFileDialog& dialog) {
        const auto heard = [&dialog] {
            QStringList heard;
            readAloud(QAccessible::queryAccessibleInterface(&dialog), heard);
            for (QAction* entry : dialog.findChildren<QAction*>())
                heard << entry->text();
            return heard;
        };
        QTRY_VERIFY(heard().contains("Undermapp"));
        texts << heard();
        ++looked;
    });
    FileDialog::openFile(m_window, "Importera prislista", files.path(), "Listor (*.csv *.txt)");
    FileDialog::saveFile(m_window, "Exportera", files.filePath("Kunder.csv"), "CSV-filer (*.csv)");
    FileDialog::folder(m_window, "Välj mappen för säkerhetskopian", files.path());
    QCOMPARE(looked, 3);
    // A path is the operator's own words.
    texts.removeIf([&](const QString& text) { return !text.contains(english) || QFileInfo::exists(text); });
    texts.removeDuplicates();
    QCOMPARE(texts.join(" | "), QString());
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
