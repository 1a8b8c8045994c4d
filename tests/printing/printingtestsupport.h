#pragma once

// What the printing tests share: a program folder with the two images of the
// order form, an order to print, and the page steps to look at.

#include "printing/destinations.h"
#include "printing/recordingpage.h"
#include "support/testsupport.h"

#include "orderwindow/frmmain.h"
#include "orderwindow/reportlistview.h"
#include "orderwindow/textbox.h"

#include <QFile>
#include <QLabel>
#include <QTest>

#include <memory>

inline QString sampleSystemFile(const QString& name)
{
    return QFINDTESTDATA(QStringLiteral("../../sample-data/System/") + name);
}

// A program folder with the logo and the table frame of the order form.
class PrintingFolder : public TestDataFolder
{
public:
    PrintingFolder()
    {
        for (const QString& image : { QStringLiteral("Logga.gif"), QStringLiteral("form_listview.gif") }) {
            QFile file(sampleSystemFile(image));
            const bool opened = file.open(QIODevice::ReadOnly);
            Q_ASSERT(opened);
            write(image, file.readAll());
        }
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
