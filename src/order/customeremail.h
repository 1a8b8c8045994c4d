#pragma once

#include "datafiles/datadirectory.h"

#include <QString>

namespace core {

// The customer's e-mail address: the fifth line of the customer's file, read
// when it is needed. Empty where the file has no fifth line or cannot be read.
QString customerEmail(const datafiles::DataDirectory& data, const QString& customerNumber);

} // namespace core
