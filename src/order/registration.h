#pragma once

#include "failure.h"
#include "journal.h"

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
// customer file, the archive order-head file and the order-list line. What
// they will hold is first put durably into the registration journal, so that
// a registration stopped part-way is completed at the next start. A step that
// fails ends the registration there and names its file; its journal stays, and
// the next registration or the next start completes it.
std::optional<Failure> registerOrder(const datafiles::DataDirectory& data, const Order& order);

// The two halves of registerOrder(), for the print command, which sends the
// paper between them: once the paper may be out, the order's number must not
// be handed out again, so the journal is written before the paper is sent.
struct BegunRegistration
{
    RegistrationPlan plan;
    std::optional<Failure> failure;
};
// Completes a registration left unfinished, then writes this one's journal.
BegunRegistration beginRegistration(const datafiles::DataDirectory& data, const Order& order);
// Does the four steps and removes the journal.
std::optional<Failure> completeRegistration(const datafiles::DataDirectory& data, const RegistrationPlan& plan);
// Removes the journal of a registration that is not to be: the paper never
// went out.
void abandonRegistration(const datafiles::DataDirectory& data);

// The text of the box that confirms the printed order. `savedInsteadOfPrinted`
// names the PDF copy when there was no printer to send the order to.
QString confirmationText(const Order& order, const QString& savedInsteadOfPrinted = {});

} // namespace core
