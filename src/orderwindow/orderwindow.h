#pragma once

#include "datafiles/datadirectory.h"
#include "order/openorder.h"

#include <QMainWindow>

#include <memory>

// The program's main window, "Orderregistrering": the order being entered, its
// menus and function keys. Everything else of the window is its own business;
// this is what the program and its tests may ask of it.
class OrderWindow : public QMainWindow
{
    Q_OBJECT

public:
    using Clock = core::OpenOrder::Clock;

    // The order window over the data folder. The desk and the windows it
    // opens tell the time by `now`, the system's clock when none is given.
    static std::unique_ptr<OrderWindow> create(datafiles::DataDirectory data, Clock now = {});

    // The order on the desk, which the window edits and shows.
    virtual core::OpenOrder& openOrder() = 0;
    virtual const core::OpenOrder& openOrder() const = 0;
    const core::Order& order() const { return openOrder().order(); }

signals:
    // A backup was restored into System: the desk is to start again on it.
    void dataRestored();

protected:
    explicit OrderWindow(QWidget* parent = nullptr)
        : QMainWindow(parent)
    {
    }
};
