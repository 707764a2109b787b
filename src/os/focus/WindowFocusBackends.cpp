#include "os/focus/WindowFocus.h"

#ifdef QUILLOCK_HAVE_XCB
#include "os/focus/X11WindowFocus.h"
#endif
#ifdef QUILLOCK_HAVE_WAYLAND
#include "os/focus/ForeignToplevelFocus.h"
#endif

namespace Focus {
namespace {

// The last resort, for sessions where one program cannot see another's windows (GNOME and KDE on Wayland): it
// cannot tell, so a launch types without the lock, guarded only by the rules that need no knowledge of other
// programs' windows.
class UnknownFocus : public WindowFocus
{
public:
    static std::string unavailableReason() { return {}; }
    bool canTell() const override { return false; }
    std::optional<WindowId> focusedWindow() override { return std::nullopt; }
    WindowProgram programOf(WindowId) override { return {}; }
    bool exists(WindowId) override { return false; }
};

Os::ActiveFacility<WindowFocus, std::logic_error>& active()
{
    static Os::ActiveFacility<WindowFocus, std::logic_error> facility(
        windowFocusBackends, "Quillock cannot tell which window has the focus in this session");
    return facility;
}

} // namespace

Os::Backends<WindowFocus> windowFocusBackends()
{
    return {
#ifdef QUILLOCK_HAVE_XCB
        Os::backend<WindowFocus, X11WindowFocus>("X11"),
#endif
#ifdef QUILLOCK_HAVE_WAYLAND
        Os::backend<WindowFocus, ForeignToplevelFocus>("Wayland (foreign toplevels)"),
#endif
        Os::backend<WindowFocus, UnknownFocus>("no way to tell"),
    };
}

WindowFocus& windowFocus()
{
    return active().get();
}

void setWindowFocus(WindowFocus* replacement)
{
    active().replace(replacement);
}

void releasePlatformWindowFocus()
{
    active().release();
}

} // namespace Focus
