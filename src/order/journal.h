#pragma once

#include "failure.h"

#include "datafiles/datadirectory.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// A registration spans four files: the order-number file, the two archive
// files and the order list. So that a crash or a power cut between them never
// leaves an order half registered, everything the four steps will write is
// first put, durably, into one journal file; then the steps are done; then the
// journal is removed. A journal found at the next start is completed.
namespace core {

// What one registration writes, worked out before the first file is touched.
struct RegistrationPlan
{
    QString orderNumber;
    QByteArray orderNumberFile; // the whole new order-number file
    QByteArray archiveCustomer; // <nr>_data1.dbf
    QByteArray archiveOrderHead; // <nr>_data2.dbf
    // The order list's length just before the append, and what is appended
    // there: the order's line, after a CR LF where the list's last line had
    // lost its end. Completing the step cuts the list back to that length and
    // appends again, which also mends a line cut half-way.
    qint64 listLengthBefore = 0;
    QByteArray listAppend;

    bool operator==(const RegistrationPlan&) const = default;
};

// The journal's bytes: the plan and a SHA-256 checksum over it.
QByteArray encodeJournal(const RegistrationPlan& plan);
// The plan of a journal; none when the journal is cut or damaged, which means
// it was being written when the program stopped and no step had begun.
std::optional<RegistrationPlan> decodeJournal(QByteArrayView bytes);

// Does the four steps of the plan, in their order. Each step may be done again
// without harm: the replaced files get the same bytes, and the list is cut
// back to its length before the append and gets the line once more. A step
// that fails ends the steps there and names its file.
std::optional<Failure> carryOut(const datafiles::DataDirectory& data, const RegistrationPlan& plan);

struct Recovery
{
    // The order whose interrupted registration was completed; empty when there
    // was none to complete.
    QString completedOrder;
    std::optional<Failure> failure;
};

// Completes the registration a journal describes, if one was left by a run
// that stopped part-way, and removes the journal. A cut journal is removed
// and nothing is reported: none of its steps had begun. Also removes the
// temporary files a stopped run may have left beside the program's files (in
// the order folder, which holds every printed order's files, only when a
// journal tells that a registration was stopped).
Recovery finishInterruptedRegistration(const datafiles::DataDirectory& data);

} // namespace core
