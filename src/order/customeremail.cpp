#include "customeremail.h"

#include "datafiles/records.h"
#include "datafiles/textfile.h"

namespace core {

QString customerEmail(const datafiles::DataDirectory& data, const QString& customerNumber)
{
    constexpr int emailLine = 4;
    const std::optional<QString> path = data.customerFile(customerNumber);
    if (!path)
        return {};
    const datafiles::ReadResult file = datafiles::readWholeFile(*path);
    if (!file.ok())
        return {};
    return datafiles::readLines(file.bytes).value(emailLine).trimmed();
}

} // namespace core
