#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace Desktop {

// Maximizes the window of a program that was just started. The program's window appears some time after
// the start, so each request is a watch on a thread of its own that looks for it a few times a second
// and gives up after WatchTime; the caller never waits.
class WindowMaximizer
{
public:
    static constexpr std::chrono::seconds WatchTime{20};

    WindowMaximizer() = default;
    // Stops the watches that are still looking.
    ~WindowMaximizer() = default;
    WindowMaximizer(const WindowMaximizer&) = delete;
    WindowMaximizer& operator=(const WindowMaximizer&) = delete;

    // Watches for the first top-level window shown by the process or one of its children.
    void maximizeWindowOf(pid_t process);

private:
    struct Watch
    {
        std::shared_ptr<std::atomic<bool>> finished;
        std::jthread thread;
    };

    std::vector<Watch> m_watches;
};

} // namespace Desktop
