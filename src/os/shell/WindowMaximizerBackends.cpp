#include "os/shell/WindowMaximizer.h"

#include <stdexcept>

#ifdef QUILLOCK_HAVE_XCB
#include "os/shell/X11WindowMaximizer.h"
#endif

namespace Desktop {
namespace {

// The last resort: the started program keeps the window size it chooses itself. A maximized browser is a
// comfort, not something a launch needs, so a session that no other backend serves still opens web pages.
class UnchangedWindow : public WindowMaximizer
{
public:
    static std::string unavailableReason() { return {}; }
    void maximizeWindowOf(pid_t) override {}
};

} // namespace

Os::Backends<WindowMaximizer> windowMaximizerBackends()
{
    return {
#ifdef QUILLOCK_HAVE_XCB
        Os::backend<WindowMaximizer, X11WindowMaximizer>("X11 (EWMH)"),
#endif
        Os::backend<WindowMaximizer, UnchangedWindow>("the window as its program made it"),
    };
}

std::unique_ptr<WindowMaximizer> makeWindowMaximizer()
{
    return Os::makeFirstAvailable<std::logic_error>(windowMaximizerBackends(),
                                                    "Quillock cannot size the windows it opens in this session");
}

} // namespace Desktop
