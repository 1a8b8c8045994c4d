#pragma once

#include "listviewprinting.h"

#include <QImage>
#include <QList>
#include <QSize>

namespace core {
class CodeWording;
class Order;
} // namespace core

namespace datafiles {
class DataDirectory;
}

namespace printing {

class Page;

// Where "ATT BETALA" stands on the first page: the order lines stay above it.
inline constexpr float totalsTop = 24.5f;

// The logo's box at the top left of the order form and the delivery note, in
// pixels as the page prints an image: the size of Logga.gif.
inline constexpr QSize logoBox(95, 60);

// A logo the operator chose, made to fit the logo's box, its proportions kept.
QImage logoForBox(const QImage& chosen);

// The seven columns of the order lines as the order window designs them, in
// twips.
QList<TableColumn> designedOrderLineColumns();

// What is drawn of an order: the order form, or the delivery note that goes
// with the goods for the customer to sign.
enum class OrderDocument { OrderForm, DeliveryNote };

// Draws the order as the printed order form, "ORDERUNDERLAG", with its order
// lines in a table of the given columns, and ends the document. The codes are
// printed in their wording, the totals as the order comes to; the logo and the
// table frame come from the data folder. Every text keeps to its field: one
// too wide goes on over the lines its field has room for (a value of the
// head, the info text, an amount, a cell of the table) and is cut short
// beyond them. False when a step failed (the page tells which); the steps
// after it are not drawn.
//
// The delivery note, "FÖLJESEDEL", is the same page without a price: the
// columns "A-pris", "Rab %" and "Radsumma" and the totals are left out, with
// them the table frame drawn for the form's seven columns. A blank column
// "Levererat" is added, and at the foot of the last page the lines "Mottaget
// av" and "Datum" for the receiver's signature, which the rows stay above on
// every page.
bool printOrderDocument(Page& page, const core::Order& order, const QList<TableColumn>& columns,
                        const core::CodeWording& wording, const datafiles::DataDirectory& data,
                        OrderDocument document = OrderDocument::OrderForm);

} // namespace printing
