#include "system/launch/FocusLock.h"

#include "system/launch/LaunchControl.h"

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
{
    if (m_canTell)
        m_noted = Focus::windowFocus().focusedWindow();
}

void FocusLock::beforeKey(const std::function<bool()>& stopped)
{
    if (!m_canTell) {
        // Where other programs' windows cannot be seen, the browser has come to the front once the program's own
        // windows have lost the keyboard focus.
        if (!m_browserInFront)
            waitFor(stopped, [] { return !programWindowIsActive(); });
        m_browserInFront = true;
        return;
    }
    if (!m_locked) {
        waitFor(stopped, [this] {
            Focus::WindowFocus& focus = Focus::windowFocus();
            const std::optional<Focus::WindowId> window = focus.focusedWindow();
            if (isTheBrowser(focus, window))
                m_locked = window;
            return m_locked.has_value();
        });
    } else if (Focus::windowFocus().focusedWindow() != m_locked) {
        throw LaunchStopped(LaunchStopped::Reason::FocusLost);
    }
}

// Qt's word is asked too: it hears that its window lost the focus a moment after the display changed it, and a
// key sent meanwhile would count as one sent to the program's own window.
bool FocusLock::isTheBrowser(Focus::WindowFocus& focus, std::optional<Focus::WindowId> window) const
{
    return window && window != m_noted && !focus.isOwnWindow(*window) && !programWindowIsActive();
}

void FocusLock::waitFor(const std::function<bool()>& stopped, const std::function<bool()>& inFront)
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
            if (inFront())
                return;
            if (deadline.hasExpired())
                throw LaunchStopped(LaunchStopped::Reason::NotInFront);
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}
