#include "os/focus/X11WindowFocus.h"

#include "os/shell/GraphicalSession.h"
#include "os/x11/FocusReader.h"
#include "os/x11/XcbDisplay.h"

#include <limits>

namespace Focus {

class X11WindowFocus::Display
{
public:
    X11::XcbDisplay x;
    X11::FocusReader reader{x};
};

std::string X11WindowFocus::unavailableReason()
{
    if (std::string x11 = Desktop::x11DisplayUnavailableReason(); !x11.empty())
        return x11;
    if (Desktop::waylandDisplayUnavailableReason().empty())
        return "this is a Wayland session, where the X display sees only the windows of X11 programs";
    return {};
}

X11WindowFocus::X11WindowFocus() : m_display(std::make_unique<Display>())
{}

X11WindowFocus::~X11WindowFocus() = default;

bool X11WindowFocus::canTell() const
{
    return m_display->x.isOpen();
}

std::optional<WindowId> X11WindowFocus::focusedWindow()
{
    return m_display->reader.focusedWindow();
}

WindowProgram X11WindowFocus::programOf(WindowId window)
{
    if (window > std::numeric_limits<xcb_window_t>::max())
        return {};
    return m_display->reader.programOf(static_cast<xcb_window_t>(window));
}

bool X11WindowFocus::exists(WindowId window)
{
    return window <= std::numeric_limits<xcb_window_t>::max() &&
           m_display->reader.exists(static_cast<xcb_window_t>(window));
}

} // namespace Focus
