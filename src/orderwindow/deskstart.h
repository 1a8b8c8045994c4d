#pragma once

#include "orderwindow.h"

#include "datafiles/datadirectory.h"

#include <QLockFile>
#include <QObject>

#include <memory>

// The program's start on its data folder, before the operator sees the order
// window: an account without the right to the folder is told how to get it,
// and the program goes no further; then the lock that keeps a second copy of
// the program off the folder, then a restore or a registration left unfinished
// by a crash or a power cut is finished and the operator told what it was,
// then the order window is made. After a backup has been restored the desk
// starts again the same way, with a new order window on the restored folder.
class DeskStart : public QObject
{
    Q_OBJECT

public:
    DeskStart(datafiles::DataDirectory data, OrderWindow::Clock now);

    std::unique_ptr<QLockFile> lock;
    // None when the program must not go on: another copy works on the folder,
    // or the account may not work on it.
    std::unique_ptr<OrderWindow> window;

    // Makes the order window over the folder, under the lock.
    void openWindow();

private:
    void startAgain();

    datafiles::DataDirectory m_data;
    OrderWindow::Clock m_now;
};

std::unique_ptr<DeskStart> startDesk(const datafiles::DataDirectory& data, OrderWindow::Clock now = {});
