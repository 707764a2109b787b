#pragma once

#include "os/Backends.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace Focus {

// A window of the session, as the facility that gave it names it: compare it, keep it, ask about it.
using WindowId = std::uint64_t;

// What a window tells of the program that made it. Any of it may be missing, and a program may claim what it
// likes: it is good for telling which window to type into, never for trusting one.
struct WindowProgram
{
    std::uint64_t process = 0;           // the process id the window names; 0 when it names none
    std::vector<std::string> classNames; // its program's names for the desktop: X11's WM_CLASS, Wayland's app id
    std::string startupId;               // the startup id its program was handed, when it names one

    bool operator==(const WindowProgram&) const = default;
};

// Which window has the keyboard focus, as far as the session lets one program know: synthetic keys go to that
// window. A launch uses it to keep its keys in the browser window it opened.
class WindowFocus
{
public:
    virtual ~WindowFocus() = default;

    // False when this session does not let the program tell which window has the focus (GNOME and KDE on Wayland,
    // no display); the others then say nothing of use.
    virtual bool canTell() const = 0;
    // The application window that has the keyboard focus now, asked of the session (not from what it said
    // before). Nothing when none has it: the focus is nowhere, on the desktop or on the window manager's own
    // windows, or the display is gone.
    virtual std::optional<WindowId> focusedWindow() = 0;
    // What the window tells of its program; nothing of use for a window that is gone.
    virtual WindowProgram programOf(WindowId window) = 0;
    // Whether the window is still open, asked of the session: false once it has closed.
    virtual bool exists(WindowId window) = 0;
};

// The window focus in use: one installed by a test, otherwise the first of windowFocusBackends() that can serve
// this session, made on first use. Never fails: the last backend serves every session, and cannot tell.
WindowFocus& windowFocus();
// Installs another window focus (a test's); null restores the program's own. The caller keeps ownership.
void setWindowFocus(WindowFocus* replacement);
// Ends the program's own, when it has been made; the next use makes a new one.
void releasePlatformWindowFocus();

// The ways of telling the focused window that this build has, in the order they are tried.
Os::Backends<WindowFocus> windowFocusBackends();

} // namespace Focus
