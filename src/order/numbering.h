#pragma once

#include "datafiles/datadirectory.h"
#include "datafiles/failure.h"

#include <QDate>
#include <QString>

#include <optional>

namespace core {

class Order;

// The number a new order gets: the last recorded one plus one. The order-number
// file holds the last number, possibly with leading zeros and with blanks or
// line ends around it; a missing file, or one that holds no number, is a failure
// and not order number 1. A registration that a journal still describes has
// used its number, even where the order-number file does not hold it yet.
struct NextNumber
{
    QString number;
    std::optional<datafiles::Failure> failure;
};

NextNumber nextOrderNumber(const datafiles::DataDirectory& data);

// "Ny": the number, today's date as order and delivery date (YYMMDD), the
// standing codes "0", no registration number and lpl "411". The customer, the
// info and the lines stay as they are.
void startNewOrder(Order& order, const QString& number, const QDate& today);

// The order that "Ny order från denna" starts: as "Ny" starts one, with the
// number given and today's dates; then the printed order's customer, info,
// codes, registration number, VAT code and lines. `current` is the order on
// screen, whose other texts stay.
Order newOrderFrom(const Order& printed, const Order& current, const QString& number, const QDate& today);

} // namespace core
