#pragma once

#include "journal.h"

#include "datafiles/datadirectory.h"
#include "datafiles/failure.h"

#include <QString>
#include <QStringList>

#include <optional>

// Printing an order registers it: its number becomes the last one used, its
// customer, head and lines are archived in <nr>_data1.dbf, <nr>_data2.dbf and
// <nr>_data3.dbf, and the order list gains a line for it. The lines stay in
// the order's basket file too, which the order on the desk goes on using.
//
// A registration spans several files. So that a crash or a power cut between
// them never leaves an order half registered, it goes in four steps: the plan
// (what every file will hold), begun (the plan put durably into the desk's
// journal), carried out (the files written, under the folder's lock, since
// other desks change the order-number file and the list too), completed (the
// journal removed and the desk's claim on the number let go). A journal found
// later, by the desk's next registration or "Ny", or by any desk once the
// desk that wrote it is gone, is carried out again: every step may be done
// twice without harm.
namespace core {

class Order;

struct BegunRegistration
{
    RegistrationPlan plan;
    std::optional<datafiles::Failure> failure;
    // The order list ended inside a record and was cut back to its whole
    // records before the plan was made: where the cut bytes were kept.
    std::optional<datafiles::Failure> setAside;
};

// The registration of a printed order, up to its journal: a registration left
// unfinished is completed first, a record the list was cut short in is set
// aside, and the plan is put durably into the journal. The print command
// sends the paper after this, so that paper that went out always belongs to
// a registered order.
BegunRegistration beginRegistration(const datafiles::DataDirectory& data, const Order& order);
// Does the steps of the plan, in their order, under the folder's lock, and
// names the file of the step that failed; the journal then stays, for the
// next try. The order-number file is never set back: it keeps a higher number
// another desk registered.
std::optional<datafiles::Failure> carryOut(const datafiles::DataDirectory& data, const RegistrationPlan& plan);
// Carries the plan out, removes the journal and lets the claim go.
std::optional<datafiles::Failure> completeRegistration(const datafiles::DataDirectory& data,
                                                       const RegistrationPlan& plan);
// Removes the journal of a registration that is not to be: the paper never
// went out.
void abandonRegistration(const datafiles::DataDirectory& data);

// The whole registration of a printed order.
std::optional<datafiles::Failure> registerOrder(const datafiles::DataDirectory& data, const Order& order);
// Records a number as the last one used, the way a registration does, without
// archiving anything: the click on the F9 legend.
std::optional<datafiles::Failure> recordOrderNumber(const datafiles::DataDirectory& data, const QString& number);

// A registration a journal still describes, carried out and completed; none
// when there was no journal. A cut or damaged journal had begun no step: it is
// removed, and nothing is completed.
struct Completion
{
    QStringList completedOrders; // empty when there was nothing to complete
    std::optional<datafiles::Failure> failure;
};
// The desk's own.
Completion completeUnfinishedRegistration(const datafiles::DataDirectory& data);
// Those of desks that are gone, and the journal of the program from before
// several desks shared the folder.
Completion completeRegistrationsOfGoneDesks(const datafiles::DataDirectory& data);

// The highest number a journal still holds, of any desk: "Ny" must not hand
// it out again. None when there is no readable journal.
std::optional<qint64> highestJournalledNumber(const datafiles::DataDirectory& data);

// The box that confirms the printed order, "Utskrift pågår...".
// `savedInsteadOfPrinted` names the PDF copy when there was no printer to send
// the order to: the box then says where the order was saved instead.
struct Confirmation
{
    QString title;
    QString text;

    bool operator==(const Confirmation&) const = default;
};
Confirmation confirmationOf(const Order& order, const QString& savedInsteadOfPrinted = {});

} // namespace core
