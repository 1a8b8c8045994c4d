#pragma once

#include "failure.h"

#include "datafiles/datadirectory.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Printing an order registers it: its number becomes the last one used, its
// customer and head are archived in <nr>_data1.dbf and <nr>_data2.dbf, and the
// order list gains a line for it. The lines stay in the order's basket file.
namespace core {

class Order;

// The archive customer file: customer number, the three customer lines and the
// info, a plain line each.
QByteArray archiveCustomerBytes(const Order& order);
// The archive order-head file: order number, delivery date, order date,
// payment terms, registration number, freight, delivery, VAT code. This is the
// order the archive has always had, not the order of the printed form.
QByteArray archiveOrderHeadBytes(const Order& order);
// The order's line in the order list: order date, order number, customer number
// and the first customer line, each in double quotes, comma-separated, CR LF.
QByteArray orderListLine(const Order& order);

// Writes the four files in their order: the order-number file, the archive
// customer file, the archive order-head file and the order-list line. A failing
// step ends the registration there; the files written before it stay whole.
std::optional<Failure> registerOrder(const datafiles::DataDirectory& data, const Order& order);

// The text of the box that confirms the printed order. `savedInsteadOfPrinted`
// names the PDF copy when there was no printer to send the order to.
QString confirmationText(const Order& order, const QString& savedInsteadOfPrinted = {});

} // namespace core
