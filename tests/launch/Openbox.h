#pragma once

#include <string>
#include <sys/types.h>

// The openbox window manager on a test's own display, ended with the object.
class Openbox
{
public:
    // Starts openbox and waits until it has announced itself (EWMH _NET_SUPPORTING_WM_CHECK).
    explicit Openbox(const std::string& display);
    ~Openbox();
    Openbox(const Openbox&) = delete;
    Openbox& operator=(const Openbox&) = delete;

    bool isRunning() const { return m_running; }

private:
    pid_t m_pid = -1;
    bool m_running = false;
};
