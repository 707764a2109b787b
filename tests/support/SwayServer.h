#pragma once

#include <string>
#include <sys/types.h>

// A private Wayland compositor (sway, headless, no bar, no XWayland, no window borders) for tests that need real
// Wayland windows or real key events. It runs in a runtime folder of its own, which it removes at the end; sway
// refuses to run as root, so a test run as root runs it as the user nobody, whose socket root still reaches by its
// path.
class SwayServer
{
public:
    // Whether the sway program can be found.
    static bool isInstalled();

    SwayServer();
    // Ends sway and removes its folder.
    ~SwayServer();
    SwayServer(const SwayServer&) = delete;
    SwayServer& operator=(const SwayServer&) = delete;

    // Whether sway runs and accepts clients on its socket.
    bool isRunning() const { return m_pid > 0 && !m_socket.empty(); }
    // The socket's absolute path, for WAYLAND_DISPLAY.
    const std::string& socket() const { return m_socket; }
    // The path of sway's control socket, for swaymsg -s; empty when it cannot be found.
    std::string ipcSocket() const;

private:
    void start();
    void waitForSocket();

    std::string m_folder;
    pid_t m_pid = -1;
    std::string m_socket;
};
