#pragma once

#include "datafiles/datadirectory.h"

#include <QString>

#include <array>

namespace core {

class Order;

// What a customer lookup puts into the order: the customer number as the
// customer's file gives it and the three customer lines, and whether the
// operator may edit those lines (only for the counter-sale customer "1").
struct CustomerLookup
{
    std::array<QString, 4> lines;
    bool linesEditable = false;
    // A number was typed, but no customer's file gave it, and the
    // counter-sale customer's file was read in its place.
    bool counterSaleInstead = false;
};

// Looks the customer up by the number as typed, without trimming. The four
// lines come from the customer's file; a line the file lacks, or a missing or
// unreadable file, leaves its slot as it was. When the number ends up empty,
// the counter-sale customer's file is read into the same slots. No failure is
// reported; whether the counter-sale customer came instead is told.
CustomerLookup lookUpCustomer(const datafiles::DataDirectory& data, const QString& typedNumber);

// Puts the looked-up number and customer lines into the order.
void applyCustomer(Order& order, const CustomerLookup& customer);

} // namespace core
