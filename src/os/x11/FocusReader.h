#pragma once

#include "os/focus/WindowFocus.h"
#include "os/x11/XcbDisplay.h"

#include <optional>

namespace X11 {

// Reads, over a connection of the caller's, which application window holds the keyboard focus and what a window
// tells of its program. The focused window is the one the window manager announces as active
// (_NET_ACTIVE_WINDOW) when the input focus lies in it, otherwise the window the input focus lies in, taken up to
// its top-level window and down to the application's window inside a window manager's frame (the one with
// WM_STATE). Every answer is asked of the server; only the way from an input focus window to its application
// window is kept, for as long as the input focus stays on that same window, so that asking again costs one round
// trip.
class FocusReader
{
public:
    // The display must outlive the reader.
    explicit FocusReader(XcbDisplay& display);

    // Nothing when no application window holds the input focus, or the connection is broken.
    std::optional<xcb_window_t> focusedWindow();
    // _NET_WM_PID, WM_CLASS and _NET_STARTUP_ID of the window.
    Focus::WindowProgram programOf(xcb_window_t window);
    // Whether the window exists still; false too when the connection is broken.
    bool exists(xcb_window_t window);

private:
    std::optional<xcb_window_t> applicationWindowOf(xcb_window_t inputFocus);
    std::optional<xcb_window_t> topLevelOf(xcb_window_t window);
    std::optional<xcb_window_t> applicationWindowIn(xcb_window_t topLevel);
    std::optional<xcb_window_t> announcedActiveWindow();
    bool windowManagerRuns();
    bool hasProperty(xcb_window_t window, xcb_atom_t name);

    XcbDisplay& m_x;
    xcb_atom_t m_activeWindow = XCB_ATOM_NONE;
    xcb_atom_t m_supported = XCB_ATOM_NONE;
    xcb_atom_t m_pid = XCB_ATOM_NONE;
    xcb_atom_t m_wmState = XCB_ATOM_NONE;
    xcb_atom_t m_startupId = XCB_ATOM_NONE;
    xcb_atom_t m_utf8String = XCB_ATOM_NONE;
    xcb_atom_t m_windowManagerSelection = XCB_ATOM_NONE;
    // The last input focus window and the application window it led to, if any.
    xcb_window_t m_lastInputFocus = XCB_NONE;
    std::optional<xcb_window_t> m_lastFocused;
};

} // namespace X11
