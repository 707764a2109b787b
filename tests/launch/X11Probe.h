#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <xcb/xcb.h>

#include <optional>
#include <sys/types.h>

// Looks at the windows of an X display from the outside, as a test's witness: finds a top-level window
// and reads where it is, its EWMH state and its process.
class X11Probe
{
public:
    X11Probe();
    ~X11Probe();
    X11Probe(const X11Probe&) = delete;
    X11Probe& operator=(const X11Probe&) = delete;

    QRect screen() const;
    // The largest shown window, top-level or a window manager's client, whose WM_CLASS names the class
    // or whose title is the text.
    std::optional<xcb_window_t> findWindow(const QString& classOrTitle);
    // Its outer geometry on the screen.
    QRect geometry(xcb_window_t window);
    // Its _NET_WM_STATE atoms by name, such as _NET_WM_STATE_MAXIMIZED_HORZ.
    QStringList states(xcb_window_t window);
    pid_t process(xcb_window_t window);

private:
    xcb_atom_t atom(const char* name);
    QString atomName(xcb_atom_t atom);
    QByteArray property(xcb_window_t window, xcb_atom_t name);
    bool matches(xcb_window_t window, const QString& classOrTitle);

    xcb_connection_t* m_connection;
    xcb_screen_t* m_screen = nullptr;
};
