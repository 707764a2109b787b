#include "system/launch/FocusLock.h"

#include "system/launch/BrowserWindows.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

namespace {

std::chrono::milliseconds graceForTesting{0};

} // namespace

void setFocusGraceForTesting(std::chrono::milliseconds grace)
{
    graceForTesting = grace;
}

FocusLock::FocusLock() : m_canTell(Focus::windowFocus().canTell())
{}

void FocusLock::startFollowing()
{
    if (!m_canTell)
        return;
    m_following = true;
    m_noted = m_active = Focus::windowFocus().focusedWindow();
}

void FocusLock::browserStarted(const Desktop::StartedProgram& browser)
{
    m_browser = browser;
}

std::optional<LaunchStopped::Reason> FocusLock::follow()
{
    if (!m_following)
        return std::nullopt;
    m_active = Focus::windowFocus().focusedWindow();
    // A closed window loses the focus: only then is it asked whether it is there still.
    if (m_locked && m_active != m_locked->id && !Focus::windowFocus().exists(m_locked->id))
        return LaunchStopped::Reason::BrowserClosed;
    // With the focus nowhere, no key can reach a window: the key itself is checked.
    return m_active ? judge(*m_active) : std::nullopt;
}

LaunchStopped::Reason FocusLock::whyNotSent()
{
    return m_locked && !Focus::windowFocus().exists(m_locked->id) ? LaunchStopped::Reason::BrowserClosed
                                                                  : LaunchStopped::Reason::FocusLost;
}

// What the window tells of its program is asked anew at every look: the locked window must still be the same
// program's.
std::optional<LaunchStopped::Reason> FocusLock::judge(Focus::WindowId window)
{
    const Focus::WindowProgram program = Focus::windowFocus().programOf(window);
    if (m_locked && m_locked->id == window && m_locked->program == program)
        return std::nullopt;
    if (isQuillockWindow(program))
        return m_keysSent > 0 ? std::optional(LaunchStopped::Reason::FocusLost) : std::nullopt;
    if (m_locked)
        return LaunchStopped::Reason::FocusLost;
    if (window == m_noted)
        return std::nullopt; // it was active before the launch began
    if (m_browser && belongsToBrowser(*m_browser, program)) {
        m_locked = SeenWindow{window, program};
        return std::nullopt;
    }
    return LaunchStopped::Reason::OtherWindowFirst;
}

std::optional<Focus::WindowId> FocusLock::beforeKey(const std::function<bool()>& stopped)
{
    if (!m_canTell) {
        // Where other programs' windows cannot be seen, the browser has come to the front once the program's own
        // windows have lost the keyboard focus.
        if (!m_browserInFront)
            waitFor(stopped, [] { return !programWindowIsActive(); });
        m_browserInFront = true;
        return std::nullopt;
    }
    if (!m_following)
        startFollowing();
    // Qt's word is asked too: it hears that its window lost the focus a moment after the display changed it, and a
    // key sent meanwhile would count as one sent to the program's own window.
    const auto ready = [this] {
        if (const std::optional<LaunchStopped::Reason> reason = follow())
            throw LaunchStopped(*reason);
        return m_locked && m_active == m_locked->id && !programWindowIsActive();
    };
    if (!ready()) {
        if (m_keysSent > 0)
            throw LaunchStopped(LaunchStopped::Reason::FocusLost);
        waitFor(stopped, ready);
    }
    return m_locked->id;
}

void FocusLock::waitFor(const std::function<bool()>& stopped, const std::function<bool()>& ready)
{
    const QDeadlineTimer deadline(graceForTesting.count() > 0 ? graceForTesting : Grace);
    bool due = true;
    QTimer poll;
    poll.setInterval(PollInterval);
    QObject::connect(&poll, &QTimer::timeout, [&due] { due = true; });
    poll.start();
    for (;;) {
        if (stopped())
            throw LaunchStopped(LaunchStopped::Reason::Asked);
        if (due) {
            due = false;
            if (ready())
                return;
            if (deadline.hasExpired())
                throw LaunchStopped(LaunchStopped::Reason::NotInFront);
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}
