#pragma once

#include "os/focus/WindowFocus.h"

#include <memory>
#include <string>

namespace Focus {

// The focus on the X display that DISPLAY names, through a connection of its own: the focused window and what a
// window tells of its program are read as X11::FocusReader reads them.
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
    WindowProgram programOf(WindowId window) override;
    bool exists(WindowId window) override;

private:
    class Display;
    std::unique_ptr<Display> m_display;
};

} // namespace Focus
