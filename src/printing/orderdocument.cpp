#include "orderdocument.h"

#include "page.h"

#include "order/company.h"
#include "order/order.h"
#include "order/registers.h"
#include "order/totals.h"

#include <algorithm>
#include <iterator>

namespace printing {
namespace {

void printAt(Page& page, double x, double y, const QString& text)
{
    page.setPosition(x, y);
    page.print(text);
}

// Prints the text at (x, y) within its field, which ends at `right`: on as
// many as `lines` lines, one under the other, the rest cut short. A text that
// fits prints as it is.
void printWithin(Page& page, double x, double y, double right, int lines, const QString& text)
{
    const double lineHeight = page.lineHeight();
    const QStringList fitted = page.linesWithin(text, right - x, lines);
    for (qsizetype i = 0; i < fitted.size(); ++i)
        printAt(page, x, y + i * lineHeight, fitted.at(i));
}

// The left edges of the order head's columns, in cm: "Order nr",
// "Leveransdatum" and "Leveranssätt", "Orderdatum" and "Fraktsätt",
// "Betalningsvillkor" and "Reg Nr". The customer's block ends where they begin.
constexpr double headColumns[] = { 8.0, 10.0, 13.0, 16.0 };
// A value of the head, and the info text, may take two lines before the
// captions or the table below it; the customer's lines stand half a
// centimetre apart and take one each.
constexpr int valueLines = 2;

// The order-line columns a delivery note keeps, by their place among the
// seven: "Artikelnr", "Benämning", "Enhet" and "Antal".
constexpr int deliveredColumns[] = { 0, 1, 2, 4 };
constexpr int quantityColumn = 4;
// The delivery note's sender lines between its title and the order head.
constexpr int senderRows = 3;

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

QImage logoForBox(const QImage& chosen)
{
    return chosen.scaled(logoBox, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

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

    const double pageRight = page.printableWidth();
    const auto head = [&](int column, double y, const QString& caption, const QString& value) {
        const double x = headColumns[column];
        const double right = column + 1 < int(std::size(headColumns)) ? headColumns[column + 1] : pageRight;
        printWithin(page, x, y, right, 1, caption);
        printWithin(page, x, y + 0.5, right, valueLines, value);
    };

    page.setFontSize(14);
    page.setBold(false);

    printWithin(page, 8.5, 1.0, pageRight, 1,
                deliveryNote ? QStringLiteral("FÖLJESEDEL") : QStringLiteral("ORDERUNDERLAG"));
    if (!page.drawImage(0.5, 0.5, data.logoImage()))
        return false;
    if (!deliveryNote && !page.drawImage(0.3, 7.5, data.tableFrameImage()))
        return false;

    page.setFontSize(9);
    const double customerRight = headColumns[0];
    printWithin(page, 1.0, 3.0, 2.5, 1, QStringLiteral("Kundnr:  "));
    printWithin(page, 2.5, 3.0, customerRight, 1, text(Order::CustomerNumber));
    printWithin(page, 1.0, 4.0, customerRight, 1, text(Order::CustomerLine1));
    printWithin(page, 1.0, 4.5, customerRight, 1, text(Order::CustomerLine2));
    printWithin(page, 1.0, 5.0, customerRight, 1, text(Order::CustomerLine3));
    printWithin(page, 1.0, 6.5, 2.5, 1, QStringLiteral("Info"));
    printWithin(page, 2.5, 6.5, pageRight, valueLines, text(Order::Info));

    head(0, 3.0, QStringLiteral("Order nr"), text(Order::OrderNumber));
    head(1, 3.0, QStringLiteral("Leveransdatum"), text(Order::DeliveryDate));
    head(2, 3.0, QStringLiteral("Orderdatum"), text(Order::OrderDate));
    head(3, 3.0, QStringLiteral("Betalningsvillkor"),
         wording.wording(CodeRegister::PaymentTerms, text(Order::PaymentTerms)));
    head(1, 4.5, QStringLiteral("Leveranssätt"),
         wording.wording(CodeRegister::DeliveryMethod, text(Order::DeliveryMethod)));
    head(2, 4.5, QStringLiteral("Fraktsätt"), wording.wording(CodeRegister::FreightMethod, text(Order::FreightMethod)));
    head(3, 4.5, QStringLiteral("Reg Nr"), text(Order::RegistrationNumber));

    if (deliveryNote) {
        // The sender under the title, above the head: its name, address and
        // phone and e-mail, as many lines as there is room for.
        const QStringList sender = core::senderLines(core::readCompany(data).company);
        for (qsizetype i = 0; i < std::min<qsizetype>(sender.size(), senderRows); ++i)
            printWithin(page, 8.5, 1.8 + i * 0.4, pageRight, 1, sender.at(i));
        // The rows end above the signature on every page, since the last
        // page is not known until they are drawn.
        const float bottom = float(page.printableHeight()) - totalsTop;
        printListViewRows(page, deliveryNoteTable(order, columns), 1.0f, 8.0f, 0.0f, bottom, totalsTop);
        page.setFontSize(9);
        page.setBold(false);
        printWithin(page, 1.0, 25.5, 13.0, 1, QStringLiteral("Mottaget av"));
        printWithin(page, 1.0, 26.5, 13.0, 1, QString(40, QLatin1Char('_')));
        printWithin(page, 13.0, 25.5, pageRight, 1, QStringLiteral("Datum"));
        printWithin(page, 13.0, 26.5, pageRight, 1, QString(20, QLatin1Char('_')));
        return page.endDocument();
    }

    const core::Totals totals = core::totalsOf(order);
    page.setFontSize(10);
    page.setBold(true);
    printWithin(page, 17.0, totalsTop, pageRight, 1, QStringLiteral("ATT BETALA"));
    page.setFontSize(9);
    page.setBold(false);
    // Caption over amount, each up to the next caption; nothing stands below
    // the amounts, so an amount too wide goes on below.
    const auto total = [&](double x, double right, const QString& caption, const QString& amount) {
        printWithin(page, x, 25.5, right, 1, caption);
        printWithin(page, x, 26.0, right, valueLines, amount);
    };
    total(1.0, 3.0, QStringLiteral("Exkl moms"), totals.exclusiveOfVat);
    total(3.0, 6.0, QStringLiteral("Moms %"), totals.vatRate);
    total(6.0, 17.0, QStringLiteral("Moms i SEK"), totals.vat);
    total(17.0, pageRight, QStringLiteral("Inkl moms"), totals.inclusiveOfVat);

    ListViewContent table { columns, {} };
    table.items.reserve(order.lines().size());
    for (const core::OrderLine& line : order.lines())
        table.items.append(line.toList());
    PrintListView(page, table, 1.0f, 8.0f, -4.0f, -2.0f, totalsTop);
    // The table has ended the document already; this sends nothing more.
    return page.endDocument();
}

} // namespace printing
