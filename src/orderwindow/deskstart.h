#pragma once

#include "orderwindow.h"

#include "datafiles/datadirectory.h"
#include "datafiles/desks.h"

#include <QObject>

#include <memory>

// The program's start on its data folder, before the operator sees the order
// window: an account without the right to the folder is told how to get it,
// and the program goes no further; then a restore left unfinished by a crash
// or a power cut is finished, the desk makes its presence known to the other
// desks on the folder, the registrations that desks that are gone left
// unfinished are completed and the operator told what they were, and the
// order window is made with its first order numbered, as "Ny" numbers one.
// After a backup has been restored the desk starts again the same way, with
// a new order window on the restored folder.
class DeskStart : public QObject
{
    Q_OBJECT

public:
    DeskStart(datafiles::DataDirectory data, OrderWindow::Clock now);
    ~DeskStart() override;

    // The desk's presence file, there as long as the desk works on the folder.
    std::unique_ptr<datafiles::DeskPresence> presence;
    // None when the program must not go on: the account may not work on the
    // folder, or the operator would not wait for another desk to let it in.
    std::unique_ptr<OrderWindow> window;

    // Makes the order window over the folder and numbers its first order.
    void openWindow();

private:
    friend std::unique_ptr<DeskStart> startDesk(const datafiles::DataDirectory& data, OrderWindow::Clock now);
    void startAgain();

    datafiles::DataDirectory m_data;
    OrderWindow::Clock m_now;
    bool m_folderUsable = true;
};

std::unique_ptr<DeskStart> startDesk(const datafiles::DataDirectory& data, OrderWindow::Clock now = {});

// What the desk shows when it has waited 2 s for another desk to let go of the
// folder's lock: which desk holds it, and "Vänta" or "Avbryt".
bool askToWaitForDesk(const datafiles::DeskRecord& holder, const std::function<bool()>& freed);
