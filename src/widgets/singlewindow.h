#pragma once

#include <QPointer>
#include <QWidget>

// A window that exists at most once per run, as every window the order window
// opens: the first show() creates it, a later one brings it to the front, and
// one that was closed (and so deleted) is created afresh, reading its files
// again. The window goes with its owner.
template<typename Window>
class SingleWindow
{
public:
    SingleWindow() = default;
    ~SingleWindow() { delete m_window.data(); }
    SingleWindow(const SingleWindow&) = delete;
    SingleWindow& operator=(const SingleWindow&) = delete;

    // Shows the window, made by `open` when there is none; `open` returns
    // nullptr when the window could not load its data and has said so, and
    // then there is no window. `made` is called on a new window before it shows.
    template<typename Open, typename Made>
    Window* show(Open open, Made made)
    {
        if (!m_window) {
            m_window = open();
            if (!m_window)
                return nullptr;
            m_window->setAttribute(Qt::WA_DeleteOnClose);
            made(m_window.data());
        }
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
        return m_window.data();
    }

    template<typename Open>
    Window* show(Open open)
    {
        return show(open, [](Window*) {});
    }

    // The open window; nullptr when there is none.
    Window* get() const { return m_window.data(); }
    void close()
    {
        if (m_window)
            m_window->close();
    }

private:
    QPointer<Window> m_window;
};
