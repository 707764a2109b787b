#pragma once

#include "system/launch/FocusLock.h"

#include <QObject>
#include <QString>
#include <exception>

// A launch in progress types only while nobody asked it to stop: closing the main window, Exit, the re-lock, a
// second launch and Escape in any of the program's windows stop it at once, before its next key or from within
// a wait. A key that would reach one of the program's own windows is not sent either, nor, where the session lets
// the program tell which window has the focus, one that would reach another window than the browser's (FocusLock).

// Why a launch ended before its last step.
class LaunchStopped : public std::exception
{
public:
    enum class Reason
    {
        Asked,      // the user asked for it, in one of the ways above: nothing more to say
        NotInFront, // no browser window came to the front for the first key: nothing was typed
        FocusLost   // the keys would have gone to another window than the browser the launch opened
    };
    explicit LaunchStopped(Reason reason) : m_reason(reason) {}
    Reason reason() const { return m_reason; }
    const char* what() const noexcept override { return "The launch was stopped."; }

private:
    Reason m_reason;
};

// Marks a launch as in progress for its lifetime, stopping the one it interrupts (a second launch started during
// the first one's wait runs inside it). Escape pressed in any of the program's windows meanwhile stops it. The
// window that has the focus when it starts is noted for its focus lock.
class LaunchInProgress : public QObject
{
public:
    LaunchInProgress();
    ~LaunchInProgress() override;
    LaunchInProgress(const LaunchInProgress&) = delete;
    LaunchInProgress& operator=(const LaunchInProgress&) = delete;

    bool stopped() const { return m_stopped; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend void stopLaunch();
    friend void sendLaunchKeys(const QString& keyString);
    LaunchInProgress* m_interrupted;
    FocusLock m_focusLock;
    bool m_stopped = false;
};

// Stops the launch in progress, if any.
void stopLaunch();

// Whether the launch in progress was asked to stop; false when none is in progress.
bool launchStopped();

// Whether one of the program's own windows is the active one, holding the keyboard focus: a key sent now would act
// there (Enter or Delete in a list).
bool programWindowIsActive();

// Sends the key string into the focused window for the launch in progress, once its focus lock lets it (which may
// wait for the browser's window at the first key). Raises LaunchStopped instead when the launch was stopped, when
// the lock refuses, or when one of the program's own windows has the keyboard focus. Raises AppError as sendKeys
// does.
void sendLaunchKeys(const QString& keyString);
