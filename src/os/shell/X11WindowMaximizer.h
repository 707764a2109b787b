#pragma once

#include "os/shell/WindowMaximizer.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace Desktop {

// Maximizes the window on the X display that DISPLAY names. Each request is a watch on a thread of its own that
// looks for the window a few times a second and gives up after WatchTime.
class X11WindowMaximizer : public WindowMaximizer
{
public:
    static constexpr std::chrono::seconds WatchTime{20};

    // Empty when the X display that DISPLAY names accepts a connection, else why not.
    static std::string unavailableReason();

    X11WindowMaximizer() = default;
    // Stops the watches that are still looking.
    ~X11WindowMaximizer() override = default;
    X11WindowMaximizer(const X11WindowMaximizer&) = delete;
    X11WindowMaximizer& operator=(const X11WindowMaximizer&) = delete;

    void maximizeWindowOf(pid_t process) override;

private:
    struct Watch
    {
        std::shared_ptr<std::atomic<bool>> finished;
        std::jthread thread;
    };

    std::vector<Watch> m_watches;
};

} // namespace Desktop
