#pragma once

#include "datafiles/failure.h"
#include "printing/listviewprinting.h"

#include <QByteArray>
#include <QList>

#include <optional>

namespace core {
class CodeWording;
class Order;
} // namespace core

namespace datafiles {
class DataDirectory;
}

namespace printjob {

struct Preview
{
    // The order form as the kept PDF copy would hold it, in memory.
    QByteArray pdf;
    std::optional<datafiles::Failure> failure;
};

// The order drawn as F9 draws its kept copy, on the same A4 pages with the same
// fonts, so that it has as many pages; but into memory: nothing is written,
// printed or registered. An order F9 would refuse, for want of a VAT rate, is
// refused here too.
Preview previewOrder(const core::Order& order, const QList<printing::TableColumn>& columns,
                     const core::CodeWording& wording, const datafiles::DataDirectory& data);

} // namespace printjob
