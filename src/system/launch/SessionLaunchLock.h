#pragma once

#include "os/files/FileLock.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QString;

// One launch at a time on the user's desktop, across every Quillock: a launch holds the session's launch lock, a
// lock file in the user's runtime folder ($XDG_RUNTIME_DIR), from before its page opens to its end. A launch that
// starts while another Quillock's launch holds it asks that one to stop, by holding a second lock file meanwhile,
// and takes the lock as soon as the other has let go: the newest launch wins, as it does inside one program. A
// launch that this program starts inside another of its own (which it stops) shares the lock that one holds.
// The system drops a program's locks when it ends, however it ends.
class SessionLaunchLock
{
public:
    // How long a new launch waits for another Quillock's launch to let go: that one looks every tenth of a second.
    static constexpr std::chrono::milliseconds Patience{5000};

    // Takes the lock, waiting with the event loop running. Nothing when another Quillock's launch did not let go in
    // time. Raises LaunchStopped (Asked) when stopped() turns true meanwhile, AppError when the runtime folder or
    // its lock files cannot be used (a link or a folder standing at their name, which are left as they are).
    static std::optional<SessionLaunchLock> take(const std::function<bool()>& stopped);

    // Whether another Quillock's launch is asking for the lock: the launch that holds it is to stop.
    bool anotherLaunchAsks() const;

private:
    SessionLaunchLock(std::shared_ptr<Files::FileLock> held, const QString& askingPath);

    std::shared_ptr<Files::FileLock> m_held;
    std::string m_askingPath;
};
