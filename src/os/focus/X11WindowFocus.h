#pragma once

#include "os/focus/WindowFocus.h"

#include <memory>
#include <string>

namespace Focus {

// The focus on the X display that DISPLAY names, through a connection of its own. The focused window is the
// application window that holds the input focus: the one the window manager announces as active
// (_NET_ACTIVE_WINDOW) when the input focus lies in it, otherwise the window the input focus lies in, taken up
// to its top-level window and down to the application's window inside a window manager's frame (the one with
// WM_STATE). A window is this process's when its _NET_WM_PID, which Qt sets, is this process's id.
class X11WindowFocus : public WindowFocus
{
public:
    // Empty when the X display that DISPLAY names accepts a connection and no Wayland compositor is reachable,
    // else why not: in a Wayland session the X server sees only the windows of X11 programs.
    static std::string unavailableReason();

    X11WindowFocus();
    ~X11WindowFocus() override;
    X11WindowFocus(const X11WindowFocus&) = delete;
    X11WindowFocus& operator=(const X11WindowFocus&) = delete;

    // False when the connection failed.
    bool canTell() const override;
    std::optional<WindowId> focusedWindow() override;
    bool isOwnWindow(WindowId window) override;

private:
    class Display;
    std::unique_ptr<Display> m_display;
};

} // namespace Focus
