#pragma once

#include "order/failure.h"
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

namespace printing {

struct PrintOutcome
{
    // What stopped the command; the steps before it stay done.
    std::optional<core::Failure> failure;
    // The text of the box that confirms the printed and registered order.
    QString confirmation;
};

// The print command, F9: the order form is drawn into the PDF copy kept as
// System/Order/<nr>.pdf, which is committed first; then the registration's
// journal is written, the form goes to the default printer, if the system has
// one, and the order is registered. So paper that went out always belongs to
// a registered order (completed at the next start, should the program stop
// between), and a failure before the paper leaves the order-number file, the
// archive and the order list as they were (a copy left by a failed printer is
// replaced by the next printing).
PrintOutcome printOrder(const core::Order& order, const QList<TableColumn>& columns, const core::CodeWording& wording,
                        const datafiles::DataDirectory& data);

// The name the order's printing goes by, to the printer and in the PDF copy.
QString jobName(const QString& orderNumber);

// Where the order's kept PDF copy lies; empty when the order number cannot
// name a file.
QString pdfCopyFile(const datafiles::DataDirectory& data, const QString& orderNumber);

} // namespace printing
