#pragma once

#include "os/focus/WindowFocus.h"
#include "os/shell/Shell.h"
#include "system/launch/LaunchStopped.h"

#include <chrono>
#include <functional>
#include <optional>

// Keeps a launch's keys in the browser window it opened, where the session lets the program tell which window is
// active. From the moment it starts following, the lock looks at the active window again and again (follow()) and
// before every key:
// - the window active when it started (the program's own, normally) is never taken for the browser's;
// - the first window of the browser the launch started (BrowserWindows.h) that becomes active is locked: the keys
//   go there only;
// - Quillock's windows (of any Quillock) may be active before the first key, which waits for the locked window to
//   be active again; after the first key they stop the launch, as a key would act there;
// - any other window that becomes active stops the launch: before the browser's window came to the front
//   (OtherWindowFirst) or after (FocusLost), waits included; so does another window of the browser;
// - the locked window closing stops the launch (BrowserClosed).
// Where the session hides other programs' windows (GNOME and KDE on Wayland), the first key waits only for the
// program's own windows to lose the focus, and later keys pass.
class FocusLock
{
public:
    // How long the first key waits for the browser's window to come to the front. The steps before it, typically a
    // wait of some seconds, have already given the browser its time to start.
    static constexpr std::chrono::milliseconds Grace{15000};
    // How often the focus is looked at while the first key waits.
    static constexpr std::chrono::milliseconds PollInterval{100};

    FocusLock();

    // Notes the window active now and starts following.
    void startFollowing();
    // The browser the launch started: from now on its windows can be told.
    void browserStarted(const Desktop::StartedProgram& browser);
    // Looks at the active window now; says why the launch must stop when it must.
    std::optional<LaunchStopped::Reason> follow();

    // Called before every key. The first waits, with the event loop running, until the browser's window is locked
    // and active; the later ones check that it is active still. Returns the window the key may go into, to be
    // checked again at the key itself; nothing where the session cannot tell. Where it cannot, the first waits until
    // none of the program's own windows has the focus. Raises LaunchStopped: Asked when stopped() turns true during
    // the wait, NotInFront when the grace passes, and why follow() stops the launch.
    std::optional<Focus::WindowId> beforeKey(const std::function<bool()>& stopped);
    // Why a key checked at the window was not sent: the locked window closed, or it lost the focus.
    LaunchStopped::Reason whyNotSent();
    // Notes that a key was sent.
    void keySent() { ++m_keysSent; }
    int keysSent() const { return m_keysSent; }

private:
    // A window as it was seen: an id alone may be handed to another program's window once its own is gone.
    struct SeenWindow
    {
        Focus::WindowId id;
        Focus::WindowProgram program;
    };
    std::optional<LaunchStopped::Reason> judge(Focus::WindowId window);
    // Returns once ready() is true, asked every PollInterval for the grace.
    void waitFor(const std::function<bool()>& stopped, const std::function<bool()>& ready);

    bool m_canTell;
    bool m_following = false;
    std::optional<Desktop::StartedProgram> m_browser;
    std::optional<Focus::WindowId> m_noted;
    std::optional<SeenWindow> m_locked;
    std::optional<Focus::WindowId> m_active; // as last seen
    int m_keysSent = 0;
    bool m_browserInFront = false; // where the session cannot tell
};

// Shortens the grace of the launches that start from now on, for tests; zero restores FocusLock::Grace.
void setFocusGraceForTesting(std::chrono::milliseconds grace);
