#pragma once

#include "registration.h"

#include "datafiles/datadirectory.h"
#include "datafiles/desks.h"

// The start of a desk: the registrations that desks that stopped part-way
// (a crash, a power cut) left unfinished are completed, and what a stopped
// replacement of one of the program's files left is cleared away.
namespace core {

// Completes the registrations whose journals desks that are gone left, and
// removes their journals and presence files. When no other desk is working on
// the folder, also removes the leftover temporary files beside the program's
// files: always in System, Registret, Customer and the desks' folder; in the
// order folder, which holds every printed order's files, only when a journal
// tells that a registration was stopped. Runs under the folder's lock.
Completion finishInterruptedRegistration(const datafiles::DataDirectory& data);

// A desk's start on the folder, under its lock: its presence made known, so
// that a restore on another desk either sees it or is over before it, then
// what stopped desks left finished as above.
struct DeskStarted
{
    std::optional<datafiles::Failure> failure; // the lock or the presence file: the desk did not start
    Completion recovery;
};
DeskStarted announceDesk(const datafiles::DataDirectory& data, datafiles::DeskPresence& presence);

} // namespace core
