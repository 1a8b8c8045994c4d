#pragma once

#include "datafiles/datadirectory.h"
#include "datafiles/desks.h"
#include "datafiles/failure.h"

#include <QDate>
#include <QString>

#include <optional>

namespace core {

class Order;

// The number a new order gets, claimed for the desk that asks: the lowest
// number above the last recorded one, above every order in the order list,
// above every number another desk has claimed and every number a
// registration's journal still holds, whose claim file the desk can make (with
// O_CREAT|O_EXCL, so that two desks asking at once get two numbers). The
// desk's own unprinted claim is let go first, so that on a single desk "Ny"
// twice gives the same number; so is a claim left by a desk that is gone.
// Registrations that desks that are gone left unfinished are completed first.
// The order-number file holds the last number, possibly with leading zeros
// and with blanks or line ends around it; a missing file, or one that holds no
// number, is a failure and not order number 1.
struct NextNumber
{
    QString number;
    std::optional<datafiles::Failure> failure;
};

NextNumber claimNextNumber(const datafiles::DataDirectory& data);

// The highest order number in use: recorded, in the order list, claimed by a
// desk present, or held by a registration's journal. Claims of desks that are
// gone are let go, and with LetGo so is this desk's own. The caller holds the
// folder's lock.
enum class OwnClaim { Kept, LetGo };
struct HighestNumber
{
    qint64 number = 0;
    std::optional<datafiles::Failure> failure;
};
HighestNumber highestNumberUsed(const datafiles::DataDirectory& data, OwnClaim own);

// Whether this desk holds the claim on the number.
bool holdsClaim(const datafiles::DataDirectory& data, const QString& number);
// The desk other than this one that holds a claim on the number; none when
// no desk present does.
std::optional<datafiles::DeskRecord> claimedElsewhere(const datafiles::DataDirectory& data, const QString& number);
// Lets go of this desk's claim on the number, once it is registered.
void releaseClaim(const datafiles::DataDirectory& data, const QString& number);
// Lets go of every claim of this desk: it closes, or the folder was restored.
void releaseClaims(const datafiles::DataDirectory& data);

// Whether the order list has a line for the number: it has been printed.
bool isListed(const datafiles::DataDirectory& data, const QString& number);

// The value of an order number as the order-number file and the claims hold
// it: digits only, around them blanks and line ends.
std::optional<qint64> orderNumberValue(const QString& text);

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
