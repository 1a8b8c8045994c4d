#pragma once

#include "datafiles/failure.h"
#include "order/registration.h"
#include "printing/listviewprinting.h"

#include <QList>
#include <QString>

#include <optional>

namespace core {
class CodeWording;
class Order;
} // namespace core

namespace datafiles {
class DataDirectory;
}

namespace printjob {

struct PrintOutcome
{
    // What stopped the command; the steps before it stay done.
    std::optional<datafiles::Failure> failure;
    // The box that confirms the printed and registered order.
    core::Confirmation confirmation;
    // The order list ended inside a record and was cut back before the
    // order's line went in: where the cut record's bytes were kept.
    std::optional<datafiles::Failure> setAside;
};

// The print command, F9: the order form is drawn into the PDF copy kept as
// System/Order/<nr>.pdf, which is committed first; then the registration's
// journal is written, the form goes to the default printer, if the system has
// one, and the order is registered. So paper that went out always belongs to
// a registered order (completed at the next start, should the program stop
// between), and a failure before the paper leaves the order-number file, the
// archive and the order list as they were (a copy left by a failed printer is
// replaced by the next printing). An order whose VAT code has no rate is
// refused before anything is drawn.
PrintOutcome printOrder(const core::Order& order, const QList<printing::TableColumn>& columns,
                        const core::CodeWording& wording, const datafiles::DataDirectory& data);

// The name the order's printing goes by, to the printer, in the PDF copy and
// on the window that shows the copy.
QString jobName(const QString& orderNumber);

struct DeliveryNoteOutcome
{
    std::optional<datafiles::Failure> failure;
    // The kept copy, System/Order/<nr>_följesedel.pdf.
    QString copy;
    // The note went to the default printer too; the system has one.
    bool printed = false;
    // The text of the box that says where the note went.
    QString confirmation;
};

// "Skriv följesedel": the order's delivery note is drawn into its kept copy,
// which is committed and synced as the order form's is, and then goes to the
// default printer, if the system has one. A later note of the same order
// replaces the copy. Nothing is registered and no order number is used: the
// order-number file, the archive and the order list stay as they are.
DeliveryNoteOutcome printDeliveryNote(const core::Order& order, const QList<printing::TableColumn>& columns,
                                      const core::CodeWording& wording, const datafiles::DataDirectory& data);

} // namespace printjob
