#pragma once

#include "os/shell/Shell.h"
#include "system/launch/FocusLock.h"
#include "system/launch/LaunchStopped.h"
#include "system/launch/SessionLaunchLock.h"

#include <QObject>
#include <QTimer>
#include <optional>

// A launch in progress types only while nobody asked it to stop: closing the main window, Exit, the re-lock, a
// second launch (of this or another Quillock) and Escape in any of the program's windows stop it at once, before its
// next key or from within a wait. Where the session lets the program tell which window is active, it follows the
// active window from the moment it starts following and stops when a window other than the browser's comes to the
// front (FocusLock); a key is never sent while one of the program's own windows has the focus.

// Marks a launch as in progress for its lifetime, stopping the one it interrupts (a second launch started during
// the first one's wait runs inside it). Escape pressed in any of the program's windows meanwhile stops it.
class LaunchInProgress : public QObject
{
public:
    LaunchInProgress();
    ~LaunchInProgress() override;
    LaunchInProgress(const LaunchInProgress&) = delete;
    LaunchInProgress& operator=(const LaunchInProgress&) = delete;

    bool stopped() const { return m_stopReason.has_value(); }
    // Why it stopped, when it did; the first reason given counts.
    std::optional<LaunchStopped::Reason> stopReason() const { return m_stopReason; }
    void stop(LaunchStopped::Reason reason);

    // Takes the desktop session's launch lock (SessionLaunchLock), asking another Quillock's launch to stop. False
    // when that one did not let go; raises as SessionLaunchLock::take does.
    bool takeSessionLock();
    // From now on the active window is followed; the one active now is noted.
    void followFocus();
    // The browser the launch started, whose windows the keys may go into.
    void browserStarted(const Desktop::StartedProgram& browser);
    // How many key strings it has sent.
    int keysSent() const { return m_focusLock.keysSent(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend void sendLaunchKeys(const QString& keyString);
    // Looks at the active window and at other Quillocks' launches, stopping this one when it must.
    void watch();
    void watchOtherLaunches();

    LaunchInProgress* m_interrupted;
    FocusLock m_focusLock;
    std::optional<SessionLaunchLock> m_sessionLock;
    QTimer m_watch;
    std::optional<LaunchStopped::Reason> m_stopReason;
};

// Stops the launch in progress, if any, as asked.
void stopLaunch();

// Whether the launch in progress was asked to stop; false when none is in progress.
bool launchStopped();

// Sends the key string into the focused window for the launch in progress, once its focus lock lets it (which may
// wait for the browser's window at the first key), each key only into the browser's window where the session lets
// that be checked. Raises LaunchStopped instead when the launch was stopped, when the lock refuses, or when one of
// the program's own windows has the keyboard focus. Raises AppError as sendKeys does.
void sendLaunchKeys(const QString& keyString);
