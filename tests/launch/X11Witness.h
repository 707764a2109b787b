#pragma once

#include <QProcess>
#include <QRect>
#include <QString>
#include <xcb/xcb.h>

#include <optional>
#include <sys/types.h>
#include <vector>

// A test's witness of the windows on the display that DISPLAY names, looked at from the outside.
class X11Probe
{
public:
    X11Probe();
    ~X11Probe();
    X11Probe(const X11Probe&) = delete;
    X11Probe& operator=(const X11Probe&) = delete;

    QRect screen() const;
    // Whether an EWMH window manager has announced itself on the root window.
    bool windowManagerRuns();
    // The largest shown window, top-level or in a window manager's frame, whose WM_CLASS names the class
    // or whose title is the text.
    std::optional<xcb_window_t> findWindow(const QString& classOrTitle);
    // Its outer geometry in its parent: the screen, for a top-level window.
    QRect geometry(xcb_window_t window);
    // Whether its _NET_WM_STATE holds both maximized states.
    bool isMaximized(xcb_window_t window);
    pid_t process(xcb_window_t window);

private:
    xcb_atom_t atom(const char* name);
    QByteArray property(xcb_window_t window, xcb_atom_t name);
    // A property of 32-bit items: atoms, windows or numbers.
    std::vector<std::uint32_t> items(xcb_window_t window, const char* name);
    bool matches(xcb_window_t window, const QString& classOrTitle);

    xcb_connection_t* m_connection;
    xcb_screen_t* m_screen = nullptr;
};

// The openbox window manager on the display that DISPLAY names, ended with the object.
class Openbox
{
public:
    // Starts openbox and waits until it has announced itself as the display's window manager.
    Openbox();

    bool isRunning() const { return m_running; }

private:
    QProcess m_process; // killed when the object goes
    bool m_running = false;
};
