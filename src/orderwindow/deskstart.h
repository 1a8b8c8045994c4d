#pragma once

#include "orderwindow.h"

#include "datafiles/datadirectory.h"

#include <QLockFile>

#include <memory>

// The program's start on its data folder, before the operator sees the order
// window: an account without the right to the folder is told how to get it,
// and the program goes no further; then the lock that keeps a second copy of
// the program off the folder, then a registration left unfinished by a crash
// or a power cut is completed and the operator told which order it was, then
// the order window is made.
struct DeskStart
{
    std::unique_ptr<QLockFile> lock;
    // None when the program must not go on: another copy works on the folder,
    // or the account may not work on it.
    std::unique_ptr<OrderWindow> window;
};

DeskStart startDesk(const datafiles::DataDirectory& data, OrderWindow::Clock today = {});
