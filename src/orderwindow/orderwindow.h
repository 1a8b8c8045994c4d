#pragma once

#include "datafiles/datadirectory.h"

#include <QDate>
#include <QMainWindow>

#include <functional>
#include <memory>

namespace core {
class Order;
}

// The program's main window, "Orderregistrering": the order being entered, its
// menus and function keys. Everything else of the window is its own business;
// this is what the program and its tests may ask of it.
class OrderWindow : public QMainWindow
{
    Q_OBJECT

public:
    using Clock = std::function<QDate()>;

    // The order window over the data folder. "Ny" takes today's date from
    // `today`, the system's clock when none is given.
    static std::unique_ptr<OrderWindow> create(datafiles::DataDirectory data, Clock today = {});

    // The order on screen.
    virtual const core::Order& order() const = 0;
    // Puts the order on screen: its head in the boxes, its lines in the list.
    // No file is written.
    virtual void showOrder(const core::Order& order) = 0;

protected:
    explicit OrderWindow(QWidget* parent = nullptr)
        : QMainWindow(parent)
    {
    }
};
