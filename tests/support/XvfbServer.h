#pragma once

#include <string>
#include <sys/types.h>

// A private X server (Xvfb) for tests that need real windows or real key events. It picks a free
// display number itself and runs with -noreset, so the keymap survives clients coming and going.
class XvfbServer
{
public:
    explicit XvfbServer(const std::string& screen = "1280x1024x24");
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool isRunning() const { return m_pid > 0 && !m_display.empty(); }
    // ":<number>", for DISPLAY.
    const std::string& display() const { return m_display; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};
