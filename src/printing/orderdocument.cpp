#include "orderdocument.h"

#include "page.h"

#include "order/order.h"
#include "order/registers.h"
#include "order/totals.h"

namespace printing {
namespace {

void printAt(Page& page, double x, double y, const QString& text)
{
    page.setPosition(x, y);
    page.print(text);
}

// The order-line columns a delivery note keeps, by their place among the
// seven: "Artikelnr", "Benämning", "Enhet" and "Antal".
constexpr int deliveredColumns[] = { 0, 1, 2, 4 };
constexpr int quantityColumn = 4;

// The order lines as the delivery note's table: no price, discount or amount,
// and an empty column for what was delivered, as wide as "Antal".
ListViewContent deliveryNoteTable(const core::Order& order, const QList<TableColumn>& columns)
{
    ListViewContent table;
    for (int c : deliveredColumns)
        table.columns.append(columns.value(c));
    table.columns.append({ QStringLiteral("Levererat"), columns.value(quantityColumn).widthTwips });
    table.items.reserve(order.lines().size());
    for (const core::OrderLine& line : order.lines()) {
        const QStringList texts = line.toList();
        QStringList item;
        for (int c : deliveredColumns)
            item.append(texts.value(c));
        item.append(QString());
        table.items.append(item);
    }
    return table;
}

} // namespace

QList<TableColumn> designedOrderLineColumns()
{
    return {
        { QStringLiteral("Artikelnr"), 1440 }, { QStringLiteral("Benämning"), 3000 },
        { QStringLiteral("Enhet"), 400 },      { QStringLiteral("A-pris"), 1000 },
        { QStringLiteral("Antal"), 1000 },     { QStringLiteral("Rab %               "), 600 },
        { QStringLiteral("Radsumma"), 1000 },
    };
}

bool printOrderDocument(Page& page, const core::Order& order, const QList<TableColumn>& columns,
                        const core::CodeWording& wording, const datafiles::DataDirectory& data, OrderDocument document)
{
    using core::CodeRegister;
    using core::Order;
    const auto text = [&order](Order::Field field) {
        return order.text(field);
    };
    const bool deliveryNote = document == OrderDocument::DeliveryNote;

    page.setFontSize(14);
    page.setBold(false);

    printAt(page, 8.5, 1.0, deliveryNote ? QStringLiteral("FÖLJESEDEL") : QStringLiteral("ORDERUNDERLAG"));
    if (!page.drawImage(0.5, 0.5, data.logoImage()))
        return false;
    if (!deliveryNote && !page.drawImage(0.3, 7.5, data.tableFrameImage()))
        return false;

    page.setFontSize(9);
    printAt(page, 1.0, 3.0, QStringLiteral("Kundnr:  "));
    printAt(page, 2.5, 3.0, text(Order::CustomerNumber));
    printAt(page, 1.0, 4.0, text(Order::CustomerLine1));
    printAt(page, 1.0, 4.5, text(Order::CustomerLine2));
    printAt(page, 1.0, 5.0, text(Order::CustomerLine3));
    printAt(page, 1.0, 6.5, QStringLiteral("Info"));
    printAt(page, 2.5, 6.5, text(Order::Info));

    printAt(page, 8.0, 3.0, QStringLiteral("Order nr"));
    printAt(page, 8.0, 3.5, text(Order::OrderNumber));
    printAt(page, 10.0, 3.0, QStringLiteral("Leveransdatum"));
    printAt(page, 10.0, 3.5, text(Order::DeliveryDate));
    printAt(page, 13.0, 3.0, QStringLiteral("Orderdatum"));
    printAt(page, 13.0, 3.5, text(Order::OrderDate));
    printAt(page, 16.0, 3.0, QStringLiteral("Betalningsvillkor"));
    printAt(page, 16.0, 3.5, wording.wording(CodeRegister::PaymentTerms, text(Order::PaymentTerms)));
    printAt(page, 10.0, 4.5, QStringLiteral("Leveranssätt"));
    printAt(page, 10.0, 5.0, wording.wording(CodeRegister::DeliveryMethod, text(Order::DeliveryMethod)));
    printAt(page, 13.0, 4.5, QStringLiteral("Fraktsätt"));
    printAt(page, 13.0, 5.0, wording.wording(CodeRegister::FreightMethod, text(Order::FreightMethod)));
    printAt(page, 16.0, 4.5, QStringLiteral("Reg Nr"));
    printAt(page, 16.0, 5.0, text(Order::RegistrationNumber));

    if (deliveryNote) {
        // The rows end above the signature on every page, since the last
        // page is not known until they are drawn.
        const float bottom = float(page.printableHeight()) - totalsTop;
        printListViewRows(page, deliveryNoteTable(order, columns), 1.0f, 8.0f, 0.0f, bottom, totalsTop);
        page.setFontSize(9);
        page.setBold(false);
        printAt(page, 1.0, 25.5, QStringLiteral("Mottaget av"));
        printAt(page, 1.0, 26.5, QString(40, QLatin1Char('_')));
        printAt(page, 13.0, 25.5, QStringLiteral("Datum"));
        printAt(page, 13.0, 26.5, QString(20, QLatin1Char('_')));
        return page.endDocument();
    }

    const core::Totals totals = core::totalsOf(order);
    page.setFontSize(10);
    page.setBold(true);
    printAt(page, 17.0, totalsTop, QStringLiteral("ATT BETALA"));
    page.setFontSize(9);
    page.setBold(false);
    printAt(page, 1.0, 25.5, QStringLiteral("Exkl moms"));
    printAt(page, 1.0, 26.0, totals.exclusiveOfVat);
    printAt(page, 3.0, 25.5, QStringLiteral("Moms %"));
    printAt(page, 3.0, 26.0, totals.vatRate);
    printAt(page, 6.0, 25.5, QStringLiteral("Moms i SEK"));
    printAt(page, 6.0, 26.0, totals.vat);
    printAt(page, 17.0, 25.5, QStringLiteral("Inkl moms"));
    printAt(page, 17.0, 26.0, totals.inclusiveOfVat);

    ListViewContent table { columns, {} };
    table.items.reserve(order.lines().size());
    for (const core::OrderLine& line : order.lines())
        table.items.append(line.toList());
    PrintListView(page, table, 1.0f, 8.0f, -4.0f, -2.0f, totalsTop);
    // The table has ended the document already; this sends nothing more.
    return page.endDocument();
}

} // namespace printing
