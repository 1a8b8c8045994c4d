#pragma once

#include "registration.h"

#include "datafiles/datadirectory.h"

// The start of the program after a crash or a power cut: a registration a
// journal still describes is completed, and the temporary files that an
// interrupted replacement of one of the program's files left are removed.
namespace core {

// Completes the registration a journal describes, if one was left by a run
// that stopped part-way, and removes the journal. Also removes the leftover
// temporary files beside the program's files: always in System, Registret and
// Customer, which hold a handful of files; in the order folder, which holds
// every printed order's files, only when a journal tells that a registration
// was stopped.
Completion finishInterruptedRegistration(const datafiles::DataDirectory& data);

} // namespace core
