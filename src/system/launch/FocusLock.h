#pragma once

#include "os/focus/WindowFocus.h"

#include <chrono>
#include <functional>
#include <optional>

// Keeps a launch's keys in the browser window it opened, where the session lets the program tell which window has
// the keyboard focus. The window that has the focus when the launch starts is noted. At the first key the focus
// must have moved to another window, not one of the program's own: the browser's, which then is locked. Every
// later key needs the locked window to have the focus still. Where the session hides other programs' windows
// (Wayland), the first key waits only for the program's own windows to lose the focus, and later keys pass.
class FocusLock
{
public:
    // How long the first key waits for the browser's window to come to the front. The steps before it, typically a
    // wait of some seconds, have already given the browser its time to start.
    static constexpr std::chrono::milliseconds Grace{15000};
    // How often the focus is looked at meanwhile.
    static constexpr std::chrono::milliseconds PollInterval{100};

    // Notes the window that has the focus now.
    FocusLock();

    // Called before every key. The first waits, with the event loop running, until another window than the one
    // noted and the program's own has the focus, and locks it; the later ones check that it has the focus still.
    // Where the session cannot tell, the first waits until none of the program's own windows has the focus.
    // Raises LaunchStopped: Asked when stopped() turns true during the wait, NotInFront when the grace passes,
    // FocusLost when the locked window no longer has the focus.
    void beforeKey(const std::function<bool()>& stopped);

private:
    // Returns once inFront() is true, asked every PollInterval for the grace.
    void waitFor(const std::function<bool()>& stopped, const std::function<bool()>& inFront);
    bool isTheBrowser(Focus::WindowFocus& focus, std::optional<Focus::WindowId> window) const;

    bool m_canTell;
    std::optional<Focus::WindowId> m_noted;
    std::optional<Focus::WindowId> m_locked;
    bool m_browserInFront = false;
};

// Shortens the grace of the launches that start from now on, for tests; zero restores FocusLock::Grace.
void setFocusGraceForTesting(std::chrono::milliseconds grace);
