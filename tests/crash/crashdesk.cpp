// The order desk as the operator starts it, driven through one order and its
// printout, for the crash tests. With a crash point named, the program kills
// itself there, as a crash or a power cut would end it.
//
//   crashdesk <program folder> print [crash point]   start, "Ny", a customer,
//                                                    two lines, F9
//   crashdesk <program folder> start                 start, then "Ny"
//   crashdesk <program folder> deliver               start, F6, "Markera levererad"
//                                                    for the newest order
//   crashdesk <program folder> backup <folder>       start, then back up into the folder
//   crashdesk <program folder> restore <archive> [crash point]
//                                                    start, then restore the backup
//
// It writes every message box and the order number "Ny" gave to its output.

#include "office/backup.h"
#include "office/restore.h"
#include "order/crashpoint.h"
#include "order/order.h"
#include "orderwindow/deskstart.h"
#include "printing/output/destinations.h"
#include "printing/recordingpage.h"
#include "widgets/messagebox.h"
#include "widgets/textbox.h"

#include <QAction>
#include <QApplication>
#include <QHash>
#include <QPushButton>
#include <QTextStream>

#include <csignal>
#include <cstring>

namespace {

void choose(QWidget& window, const char* entry)
{
    if (auto* action = window.findChild<QAction*>(QLatin1String(entry)))
        action->trigger();
}

void writeBoxes(const MessageBox::Recorder& boxes, QTextStream& out)
{
    for (const MessageBox::Shown& box : boxes.shown) {
        QString text = box.text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("|"));
        out << "box: " << box.title << ": " << text << "\n";
    }
}

core::OrderLine line(const char* article, const char* amount)
{
    core::OrderLine l;
    l.texts = { QString::fromUtf8(article), QStringLiteral("Vara"), QStringLiteral("st"),
                QStringLiteral("10.00"),    QStringLiteral("1"),    QString(),
                QString::fromUtf8(amount) };
    return l;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    if (argc < 3)
        return 2;
    const QString mode = QString::fromLocal8Bit(argv[2]);
    // The crash points by the names the crash test gives them.
    static const QHash<QByteArray, core::CrashPoint> points {
        { "print", core::CrashPoint::Print },
        { "pdf-copy", core::CrashPoint::PdfCopy },
        { "journal", core::CrashPoint::Journal },
        { "paper", core::CrashPoint::Paper },
        { "ordernumber", core::CrashPoint::OrderNumber },
        { "archive-customer", core::CrashPoint::ArchiveCustomer },
        { "archive-head", core::CrashPoint::ArchiveHead },
        { "order-list", core::CrashPoint::OrderList },
        { "journal-removed", core::CrashPoint::JournalRemoved },
        { "restore-begun", core::CrashPoint::RestoreBegun },
        { "restore-unpacked", core::CrashPoint::RestoreUnpacked },
        { "restore-journal", core::CrashPoint::RestoreJournal },
        { "restore-moving-aside", core::CrashPoint::RestoreMovingAside },
        { "restore-set-aside", core::CrashPoint::RestoreSetAside },
        { "restore-moving-in", core::CrashPoint::RestoreMovingIn },
        { "restore-in-place", core::CrashPoint::RestoreInPlace },
        { "restore-done", core::CrashPoint::RestoreDone },
    };
    const bool restore = mode == QLatin1String("restore");
    const int pointArgument = restore || mode == QLatin1String("backup") ? 4 : 3;
    const std::optional<core::CrashPoint> crashAt
        = argc > pointArgument ? std::optional(points.value(QByteArray(argv[pointArgument]))) : std::nullopt;
    if (argc > pointArgument && !points.contains(QByteArray(argv[pointArgument])))
        return 2;
    const core::CrashHookForTesting crash([crashAt](core::CrashPoint point) {
        if (point == crashAt)
            std::raise(SIGKILL);
    });

    MessageBox::Recorder boxes;
    const std::unique_ptr<DeskStart> desk = startDesk(datafiles::DataDirectory(QString::fromLocal8Bit(argv[1])),
                                                      [] { return QDate(2026, 12, 7).startOfDay(); });
    if (!desk->window) {
        writeBoxes(boxes, out);
        return 1;
    }
    OrderWindow& window = *desk->window;

    if (mode == QLatin1String("print")) {
        choose(window, "mnuNy");
        TextBox* customer = window.findChild<TextBox*>(QStringLiteral("txt_KundField0"));
        customer->setText(QStringLiteral("1004"));
        emit customer->returnPressed();
        window.openOrder().addLines({ line("A-1", "10.00"), line("Å-2", "20.00") });

        QList<printing::PageStep> paper;
        printing::Destinations destinations;
        destinations.printer = [&paper](const QString&) {
            return std::make_unique<printing::RecordingPage>(paper);
        };
        destinations.pdfCopy = &printing::Destinations::pdfPage;
        const printing::Destinations::Override override(destinations);
        choose(window, "mnuPrint");
        out << "paper: " << (paper.isEmpty() ? "none" : "printed") << "\n";
    } else if (mode == QLatin1String("deliver")) {
        choose(window, "mnuOrderhistorik");
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->isVisible() && top->objectName() == QLatin1String("frmOrderhistorik"))
                top->findChild<QPushButton*>(QStringLiteral("cmdLevererad"))->click();
        }
    } else if (mode == QLatin1String("backup") && argc > 3) {
        const office::BackupOutcome backup = office::backUp(window.openOrder().data(), QString::fromLocal8Bit(argv[3]),
                                                            QDateTime(QDate(2026, 12, 7), QTime(14, 30)));
        out << "backup: " << (backup.failure ? backup.failure->reason : backup.zipFile) << "\n";
    } else if (restore && argc > 3) {
        const office::RestoreOutcome restored = office::restoreBackup(
            window.openOrder().data(), QString::fromLocal8Bit(argv[3]), QDateTime(QDate(2026, 12, 7), QTime(15, 0)));
        out << "restored: " << (restored.restored ? "yes" : "no") << "\n";
        if (restored.refusal || restored.failure)
            out << "why: " << restored.refusal.value_or(restored.failure ? restored.failure->reason : QString()) << " "
                << (restored.failure ? restored.failure->file : QString()) << "\n";
    } else {
        choose(window, "mnuNy");
        out << "next: " << window.findChild<TextBox*>(QStringLiteral("txt_OrderNr"))->text() << "\n";
    }
    writeBoxes(boxes, out);
    return 0;
}
