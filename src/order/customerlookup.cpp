#include "customerlookup.h"

#include "order.h"

#include "datafiles/records.h"
#include "datafiles/textfile.h"

#include <optional>

namespace core {
namespace {

const QString counterSaleCustomer = QStringLiteral("1");

using Slots = std::array<QString, 4>;

// Overwrites the slots with the first four lines of the file. A line the file
// does not have, or a file that is missing or cannot be read, leaves its slot as
// it was.
void readCustomerLines(const std::optional<QString>& path, Slots& lines)
{
    if (!path)
        return;
    const datafiles::ReadResult file = datafiles::readWholeFile(*path);
    if (!file.ok())
        return;
    const QStringList read = datafiles::readLines(file.bytes);
    for (size_t i = 0; i < lines.size() && qsizetype(i) < read.size(); ++i)
        lines[i] = read.at(qsizetype(i));
}

} // namespace

CustomerLookup lookUpCustomer(const datafiles::DataDirectory& data, const QString& typedNumber)
{
    CustomerLookup customer;
    customer.linesEditable = typedNumber == counterSaleCustomer;
    readCustomerLines(data.customerFile(typedNumber), customer.lines);
    if (customer.lines[0].isEmpty()) {
        customer.counterSaleInstead = !typedNumber.isEmpty() && typedNumber != counterSaleCustomer;
        readCustomerLines(data.customerFile(counterSaleCustomer), customer.lines);
    }
    return customer;
}

void applyCustomer(Order& order, const CustomerLookup& customer)
{
    order.setText(Order::CustomerNumber, customer.lines[0]);
    order.setText(Order::CustomerLine1, customer.lines[1]);
    order.setText(Order::CustomerLine2, customer.lines[2]);
    order.setText(Order::CustomerLine3, customer.lines[3]);
}

} // namespace core
