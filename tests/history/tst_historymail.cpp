// "Skicka med e-post" in the order history, against the desktop's real
// xdg-utils: a stand-in mail program registered as the default for "mailto:"
// in a desktop of the test's own records what it was started with. The file
// manager offered without a mail program is the test's own.

#include "history/frmorderhistory.h"
#include "office/mail.h"
#include "order/basket.h"
#include "printing/orderdocument.h"
#include "printing/printingtestsupport.h"
#include "printjob/printjob.h"
#include "registers/recordform.h"
#include "widgets/textbox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QUrlQuery>

using core::Order;

namespace {

// A desktop of the test's own: its settings, its programs and the stand-ins.
class StandInDesktop
{
public:
    StandInDesktop()
    {
        QDir(m_root.path()).mkpath("config");
        QDir(m_root.path()).mkpath("data/applications");
        QDir(m_root.path()).mkpath("bin");
        const QString root = m_root.path();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + "/config"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(root + "/data"));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(root + "/none"));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(root + "/none"));
        qputenv("DISPLAY", ":99");
        qputenv("BROWSER", "false");
        for (const char* name :
             { "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID", "MAILER" })
            qunsetenv(name);
        // A program that writes its arguments, each ended by a NUL, to args-<its name>.
        for (const char* name : { "standin", "thunderbird" }) {
            const QString program = root + "/bin/" + name;
            write(program,
                  "#!/bin/sh\nprintf '%s\\0' \"$@\" > \"" + QFile::encodeName(root) + "/args-$(basename \"$0\")\"\n");
            QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
            write("data/applications/" + QString::fromLatin1(name) + ".desktop",
                  "[Desktop Entry]\nType=Application\nName=" + QByteArray(name) + "\nExec=" + QFile::encodeName(program)
                      + " %u\n");
        }
    }

    // Makes the desktop open "mailto:" with the entry, or with nothing.
    void setMailProgram(const QString& entry)
    {
        QByteArray defaults = "[Default Applications]\n";
        if (!entry.isEmpty())
            defaults += "x-scheme-handler/mailto=" + entry.toUtf8() + "\n";
        write("config/mimeapps.list", defaults);
    }

    // The arguments the stand-in of that name was started with, once it was;
    // the next start is awaited afresh.
    QStringList arguments(const char* name) const
    {
        QFile file(m_root.path() + "/args-" + name);
        if (!QTest::qWaitFor([&] { return file.size() > 0; }, 20000) || !file.open(QIODevice::ReadOnly))
            return {};
        QStringList arguments = QString::fromUtf8(file.readAll()).split(QChar(0));
        arguments.removeLast();
        file.remove();
        return arguments;
    }

private:
    void write(const QString& path, const QByteArray& bytes) const
    {
        QFile file(path.startsWith(u'/') ? path : m_root.path() + u'/' + path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir m_root;
};

// Order 124 printed to its kept PDF, for customer 1001 whose file has an
// e-mail address.
struct PrintedHistory : PrintedOrder
{
    explicit PrintedHistory(const QByteArray& address = "inkop@bergstrom.se")
    {
        folder.write("Customer/1001.GetInfo.dbf",
                     "1001\r\nBergstr\xF6m Bygg AB\r\nIndustriv\xE4gen 14\r\n433 38  Partille\r\n" + address + "\r\n");
        printing::Destinations::Override override(pdfOnly());
        const Order order = sampleOrder(1);
        core::rewriteBasket(folder.data(), QStringLiteral("124"), order.lines());
        const core::CodeWording wording(folder.data());
        if (printjob::printOrder(order, printing::designedOrderLineColumns(), wording, folder.data()).failure)
            qFatal("order 124 was not printed");
    }

    FrmOrderHistory* open()
    {
        if (!showActive(window))
            return nullptr;
        QTest::keyClick(&window, Qt::Key_F6);
        FrmOrderHistory* history = visibleWindow<FrmOrderHistory>();
        return history && QTest::qWaitForWindowActive(history) ? history : nullptr;
    }

    QString pdf() const { return QFileInfo(folder.path("Order/124.pdf")).absoluteFilePath(); }
};

} // namespace

class TestHistoryMail : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void opensTheMessageWithThePdfAttached_data();
    void opensTheMessageWithThePdfAttached();
    void withoutMailProgramOffersTheFolder();
    void withoutAddressOffersTheCustomerForm_data();
    void withoutAddressOffersTheCustomerForm();

private:
    std::unique_ptr<StandInDesktop> m_desktop;
};

void TestHistoryMail::initTestCase()
{
    qputenv("CUPS_SERVER", "127.0.0.1:9");
    m_desktop = std::make_unique<StandInDesktop>();
}

void TestHistoryMail::opensTheMessageWithThePdfAttached_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QByteArray>("address"); // in the customer's file
    QTest::addColumn<QString>("expectedTo");
    QTest::newRow("through xdg-email") << "standin.desktop" << QByteArray("inkop@bergstrom.se") << "inkop@bergstrom.se";
    QTest::newRow("Thunderbird, through its own -compose")
        << "thunderbird.desktop" << QByteArray("inkop@bergstrom.se") << "inkop@bergstrom.se";
    // Given to xdg-email it would be an option; the operator fills in the address.
    QTest::newRow("address that reads as an option") << "standin.desktop" << QByteArray("-inkop@bergstrom.se") << "";
}

void TestHistoryMail::opensTheMessageWithThePdfAttached()
{
    QFETCH(QString, entry);
    QFETCH(QByteArray, address);
    QFETCH(QString, expectedTo);
    m_desktop->setMailProgram(entry);
    PrintedHistory desk(address);
    desk.folder.write("Registret/Företaget.dbf", "\"Namn\",\"J\xe4rnhandeln AB\"\r\n");
    FrmOrderHistory* history = desk.open();
    QVERIFY(history);
    QTest::keyClick(history, Qt::Key_E, Qt::AltModifier);

    QString to, subject, body, attachment;
    if (entry == "standin.desktop") {
        const QStringList arguments = m_desktop->arguments("standin");
        QCOMPARE(arguments.size(), 1);
        const QUrl mailto(arguments.first());
        const QUrlQuery fields(mailto);
        to = mailto.path();
        subject = fields.queryItemValue("subject", QUrl::FullyDecoded);
        body = fields.queryItemValue("body", QUrl::FullyDecoded);
        attachment = fields.queryItemValue("attach", QUrl::FullyDecoded);
    } else {
        const QStringList arguments = m_desktop->arguments("thunderbird");
        QCOMPARE(arguments.value(0), QStringLiteral("-compose"));
        static const QRegularExpression field(QStringLiteral("(\\w+)='([^']*)'"));
        for (auto it = field.globalMatch(arguments.value(1)); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            const QString value = match.captured(2);
            const QString name = match.captured(1);
            (name == "to" ? to : name == "subject" ? subject : name == "body" ? body : attachment) = value;
        }
        attachment = QUrl(attachment).toLocalFile();
    }
    QCOMPARE(to, expectedTo);
    QCOMPARE(subject, QStringLiteral("Order 124"));
    QVERIFY2(body.contains(QStringLiteral("order 124 av den 2006-03-15")), qPrintable(body));
    QVERIFY2(body.contains(QRegularExpression(QStringLiteral("Med vänliga hälsningar\\r?\\nJärnhandeln AB"))), qPrintable(body));
    QCOMPARE(attachment, desk.pdf());
    QVERIFY(QFileInfo(attachment).isFile());
    QVERIFY(desk.boxes.shown.isEmpty());
}

void TestHistoryMail::withoutMailProgramOffersTheFolder()
{
    m_desktop->setMailProgram({});
    PrintedHistory desk;
    desk.boxes.answers = { true };
    QString opened;
    const office::FolderOpenerForTesting fileManager([&](const QString& folder) {
        opened = folder;
        return true;
    });
    FrmOrderHistory* history = desk.open();
    QVERIFY(history);
    auto* send = history->findChild<QPushButton*>("cmdEpost");
    QCOMPARE(send->text(), QStringLiteral("Skicka med &e-post"));
    QTest::keyClick(history, Qt::Key_E, Qt::AltModifier);

    QTRY_COMPARE(desk.boxes.shown.size(), 1);
    QCOMPARE(desk.boxes.shown.first().text,
             "Det finns inget e-postprogram inställt på den här datorn, så inget meddelande kunde öppnas.\r\n\r\n"
             "PDF-kopian av order 124 finns i\r\n"
                 + desk.pdf() + "\r\n\r\nVill du öppna mappen?");
    QCOMPARE(opened, QFileInfo(desk.pdf()).absolutePath());

    // Without a kept PDF there is nothing to send.
    history->close();
    desk.folder.remove("Order/124.pdf");
    history = desk.open();
    QVERIFY(history);
    send = history->findChild<QPushButton*>("cmdEpost");
    QVERIFY(!send->isEnabled());
    QCOMPARE(send->toolTip(), QStringLiteral("Ingen PDF-kopia är sparad för order 124."));
}

void TestHistoryMail::withoutAddressOffersTheCustomerForm_data()
{
    QTest::addColumn<bool>("inRegister"); // the customer's file, without an address
    QTest::newRow("the customer's form") << true;
    QTest::newRow("a new customer, as the order names it") << false;
}

void TestHistoryMail::withoutAddressOffersTheCustomerForm()
{
    m_desktop->setMailProgram("standin.desktop");
    PrintedHistory desk("");
    QFETCH(bool, inRegister);
    if (!inRegister)
        desk.folder.remove("Customer/1001.GetInfo.dbf");
    desk.boxes.answers = { true };
    FrmOrderHistory* history = desk.open();
    QVERIFY(history);
    QTest::keyClick(history, Qt::Key_E, Qt::AltModifier);
    QTRY_COMPARE(desk.boxes.shown.size(), 1);
    QCOMPARE(desk.boxes.shown.first().text,
             "Kund 1001, Bergström Bygg AB, har ingen e-postadress i kundregistret, så "
             "ordern kan inte skickas.\r\n\r\nVill du lägga till en adress?");
    RecordForm* form = visibleWindow<RecordForm>("frmKund");
    QVERIFY(form);
    QCOMPARE(form->field(0)->text() + ' ' + form->field(1)->text(), "1001 Bergström Bygg AB");
    QTRY_COMPARE(QApplication::focusWidget(), form->field(4));
}

QTEST_MAIN(TestHistoryMail)
#include "tst_historymail.moc"
