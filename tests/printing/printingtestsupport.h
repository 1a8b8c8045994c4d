#pragma once

// What the printing tests share: a program folder with the two images of the
// order form, an order to print, the page steps to look at, and what poppler's
// tools say about a printed PDF.

#include "printing/destinations.h"
#include "printing/recordingpage.h"
#include "support/testsupport.h"

#include "orderwindow/frmmain.h"
#include "orderwindow/reportlistview.h"
#include "orderwindow/textbox.h"

#include "retrieval/messagebox.h"

#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <memory>

// A program folder with the logo and the table frame of the order form.
class PrintingFolder : public TestDataFolder
{
public:
    PrintingFolder()
    {
        copySample(QStringLiteral("Logga.gif"));
        copySample(QStringLiteral("form_listview.gif"));
    }
};

// Order 124 of 15 March 2006 for customer 1001 of the sample data, with the
// values the order window holds once the codes and totals are worked out.
inline void fillOrder(FrmMain& w)
{
    w.txt_OrderNr()->setText(QStringLiteral("124"));
    w.txt_OrdDat()->setText(QStringLiteral("060315"));
    w.txt_LevDat()->setText(QStringLiteral("060320"));
    w.txt_KundField0()->setText(QStringLiteral("1001"));
    w.txt_KundField1()->setText(QStringLiteral("Bergström Bygg AB"));
    w.txt_KundField2()->setText(QStringLiteral("Industrivägen 14"));
    w.txt_KundField3()->setText(QStringLiteral("433 38  Partille"));
    w.txt_Info()->setText(QStringLiteral("Leverans till bakre lastkajen"));
    w.txt_Betk()->setText(QStringLiteral("1"));
    w.txt_LevS()->setText(QStringLiteral("1"));
    w.txt_Frkts()->setText(QStringLiteral("0"));
    w.txt_RegNr()->setText(QStringLiteral("ABC123"));
    w.txt_Mkod()->setText(QStringLiteral("0"));
}

inline QStringList orderLine(int i)
{
    return { QStringLiteral("TS35-%1").arg(25 + i),
             QStringLiteral("Träskruv förzinkad 3.5x%1 200 st").arg(25 + i),
             QStringLiteral("förp"),
             QStringLiteral("99.50"),
             QStringLiteral("2"),
             QStringLiteral("0"),
             QStringLiteral("199.00") };
}

// The totals and code texts are set last: the order window works them out
// afresh whenever a line or a code changes.
inline void fillTotals(FrmMain& w)
{
    w.lbl_bet()->setText(QStringLiteral("30 dagar netto"));
    w.lbl_lev()->setText(QStringLiteral("Utkört"));
    w.lbl_frakt()->setText(QStringLiteral("Posten"));
    w.lbl_exkl()->setText(QStringLiteral("398.00"));
    w.lbl_moms_pro()->setText(QStringLiteral("25"));
    w.lbl_moms_kr()->setText(QStringLiteral("99.50"));
    w.lbl_inkl()->setText(QStringLiteral("497.50"));
}

inline void fillLines(FrmMain& w, int count)
{
    for (int i = 0; i < count; ++i)
        w.ListView1()->reportModel()->appendRow(orderLine(i));
}

inline QList<printing::PageStep> textSteps(const QList<printing::PageStep>& steps)
{
    QList<printing::PageStep> texts;
    for (const printing::PageStep& s : steps) {
        if (s.kind == printing::PageStep::Kind::Text)
            texts.append(s);
    }
    return texts;
}

inline int countSteps(const QList<printing::PageStep>& steps, printing::PageStep::Kind kind)
{
    return int(
        std::count_if(steps.begin(), steps.end(), [kind](const printing::PageStep& s) { return s.kind == kind; }));
}

// Destinations that record what the print command draws, with or without a
// printer in the system.
struct RecordedDestinations
{
    QList<printing::PageStep> printer;
    QList<printing::PageStep> pdf;

    printing::Destinations destinations(bool withPrinter)
    {
        printing::Destinations d;
        if (withPrinter)
            d.printer = [this](const QString&) {
                return std::make_unique<printing::RecordingPage>(printer);
            };
        d.pdfCopy = [this](QIODevice&, const QString&) {
            return std::make_unique<printing::RecordingPage>(pdf);
        };
        return d;
    }
};

// An order window over a printing folder, its message boxes taken down.
struct PrintedOrder
{
    PrintingFolder folder;
    FrmMain window { folder.data() };
    RecordedDestinations recorded;
    MessageBox::Recorder boxes;

    // The sample order with its number of lines, totals worked out.
    void fill(int lines)
    {
        fillOrder(window);
        fillLines(window, lines);
        fillTotals(window);
    }

    // F9 from the active order window, to the destinations in force.
    [[nodiscard]] bool print()
    {
        if (!window.isVisible() && !showActive(window))
            return false;
        QTest::keyClick(&window, Qt::Key_F9);
        return true;
    }

    [[nodiscard]] bool print(const printing::Destinations& destinations)
    {
        printing::Destinations::Override override(destinations);
        return print();
    }

    // F9 to the recording destinations, with or without a printer.
    [[nodiscard]] bool printRecorded(bool withPrinter = false) { return print(recorded.destinations(withPrinter)); }
};

// Runs a program to its end; its output and errors together.
inline QString run(const QString& program, const QStringList& arguments, int* exitCode = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(60000);
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromLocal8Bit(process.readAll());
}

// One field of what pdfinfo says about a PDF, e.g. "Pages" or "Page size".
inline QString pdfInfo(const QString& pdf, const QString& field)
{
    const QString info = run(QStringLiteral("pdfinfo"), { pdf });
    const QRegularExpression line(QStringLiteral("^%1:\\s+(.*)$").arg(QRegularExpression::escape(field)),
                                  QRegularExpression::MultilineOption);
    return line.match(info).captured(1).trimmed();
}

inline int pdfPages(const QString& pdf)
{
    bool ok = false;
    const int pages = pdfInfo(pdf, QStringLiteral("Pages")).toInt(&ok);
    return ok ? pages : -1;
}
