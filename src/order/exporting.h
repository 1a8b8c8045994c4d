#pragma once

#include "archive.h"
#include "customers.h"

#include "datafiles/failure.h"
#include "datafiles/records.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The registers and the order list written for a spreadsheet: UTF-8 with its
// byte-order mark, ";" between the cells, a decimal comma in prices, and a
// header row, as a Swedish spreadsheet opens them. A product register exported
// and imported again changes nothing.
namespace core {

enum class ExportKind { Products, Customers, OrderList };

QByteArray exportedProducts(const datafiles::RecordTable& products);
QByteArray exportedCustomers(const QList<Customer>& customers);
QByteArray exportedOrderList(const QList<OrderListEntry>& entries);

// Reads what is exported from the data folder and writes it to `path`, whole
// and durably.
std::optional<datafiles::Failure> exportTo(const datafiles::DataDirectory& data, ExportKind kind, const QString& path);

} // namespace core
