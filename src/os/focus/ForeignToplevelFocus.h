#pragma once

#include "os/focus/WindowFocus.h"

#include <memory>
#include <string>

namespace Focus {

// The focus on a Wayland compositor that tells its clients about every client's toplevel windows (wlroots
// compositors: sway, labwc, Hyprland, Wayfire), through a connection of its own. Each toplevel gets an id of its
// own, never given again; a toplevel is what the compositor said of it at its last complete change. A window tells
// its app id, which is all the compositor says of its program.
class ForeignToplevelFocus : public WindowFocus
{
public:
    // Empty when the compositor that WAYLAND_DISPLAY names tells about toplevel windows, else why not (GNOME and KDE
    // do not).
    static std::string unavailableReason();

    ForeignToplevelFocus();
    ~ForeignToplevelFocus() override;
    ForeignToplevelFocus(const ForeignToplevelFocus&) = delete;
    ForeignToplevelFocus& operator=(const ForeignToplevelFocus&) = delete;

    // False when the connection failed or the compositor did not list its toplevels.
    bool canTell() const override;
    // The active toplevel after one round trip, which reads what the compositor said since the last question; of
    // two active ones (two seats), the one that became active last.
    std::optional<WindowId> focusedWindow() override;
    // Its app id as its one class name, when it gave one, as of the last question; no process and no startup id.
    WindowProgram programOf(WindowId window) override;
    // After one round trip, as focusedWindow: a toplevel is gone once the compositor said it closed.
    bool exists(WindowId window) override;

private:
    class Toplevels;
    std::unique_ptr<Toplevels> m_toplevels;
};

} // namespace Focus
