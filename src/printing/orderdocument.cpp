#include "orderdocument.h"

#include "listviewprinting.h"
#include "page.h"

#include "orderwindow/frmmain.h"
#include "orderwindow/textbox.h"

#include <QLabel>

namespace printing {
namespace {

void printAt(Page& page, double x, double y, const QString& text)
{
    page.setPosition(x, y);
    page.print(text);
}

} // namespace

bool printOrderDocument(const FrmMain& w, Page& page)
{
    const datafiles::DataDirectory& data = w.dataDirectory();

    page.setFontSize(14);
    page.setBold(false);

    printAt(page, 8.5, 1.0, QStringLiteral("ORDERUNDERLAG"));
    if (!page.drawImage(0.5, 0.5, data.logoImage()))
        return false;
    if (!page.drawImage(0.3, 7.5, data.tableFrameImage()))
        return false;

    page.setFontSize(9);
    printAt(page, 1.0, 3.0, QStringLiteral("Kundnr:  "));
    printAt(page, 2.5, 3.0, w.txt_KundField0()->text());
    printAt(page, 1.0, 4.0, w.txt_KundField1()->text());
    printAt(page, 1.0, 4.5, w.txt_KundField2()->text());
    printAt(page, 1.0, 5.0, w.txt_KundField3()->text());
    printAt(page, 1.0, 6.5, QStringLiteral("Info"));
    printAt(page, 2.5, 6.5, w.txt_Info()->text());

    printAt(page, 8.0, 3.0, QStringLiteral("Order nr"));
    printAt(page, 8.0, 3.5, w.txt_OrderNr()->text());
    printAt(page, 10.0, 3.0, QStringLiteral("Leveransdatum"));
    printAt(page, 10.0, 3.5, w.txt_LevDat()->text());
    printAt(page, 13.0, 3.0, QStringLiteral("Orderdatum"));
    printAt(page, 13.0, 3.5, w.txt_OrdDat()->text());
    printAt(page, 16.0, 3.0, QStringLiteral("Betalningsvillkor"));
    printAt(page, 16.0, 3.5, w.lbl_bet()->text());
    printAt(page, 10.0, 4.5, QStringLiteral("Leveranssätt"));
    printAt(page, 10.0, 5.0, w.lbl_lev()->text());
    printAt(page, 13.0, 4.5, QStringLiteral("Fraktsätt"));
    printAt(page, 13.0, 5.0, w.lbl_frakt()->text());
    printAt(page, 16.0, 4.5, QStringLiteral("Reg Nr"));
    printAt(page, 16.0, 5.0, w.txt_RegNr()->text());

    page.setFontSize(10);
    page.setBold(true);
    printAt(page, 17.0, totalsTop, QStringLiteral("ATT BETALA"));
    page.setFontSize(9);
    page.setBold(false);
    printAt(page, 1.0, 25.5, QStringLiteral("Exkl moms"));
    printAt(page, 1.0, 26.0, w.lbl_exkl()->text());
    printAt(page, 3.0, 25.5, QStringLiteral("Moms %"));
    printAt(page, 3.0, 26.0, w.lbl_moms_pro()->text());
    printAt(page, 6.0, 25.5, QStringLiteral("Moms i SEK"));
    printAt(page, 6.0, 26.0, w.lbl_moms_kr()->text());
    printAt(page, 17.0, 25.5, QStringLiteral("Inkl moms"));
    printAt(page, 17.0, 26.0, w.lbl_inkl()->text());

    PrintListView(page, *w.ListView1(), 1.0f, 8.0f, -4.0f, -2.0f, totalsTop);
    // The table has ended the document already; this sends nothing more.
    return page.endDocument();
}

} // namespace printing
