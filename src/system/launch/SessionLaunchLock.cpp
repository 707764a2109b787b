#include "system/launch/SessionLaunchLock.h"

#include "domain/error/AppError.h"
#include "os/files/RegularFile.h"
#include "system/launch/LaunchStopped.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QStandardPaths>
#include <QTimer>

namespace {

// How long the event loop runs between two tries.
constexpr int TryIntervalMilliseconds = 20;

// The lock held by this program's launches, while one runs.
std::weak_ptr<Files::FileLock> heldHere;

QDir runtimeFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        throw AppError(ErrorNumber::FileAccess,
                       QStringLiteral("Quillock cannot make sure that no other launch types at the same time: the "
                                      "user's runtime folder cannot be used."));
    return QDir(folder);
}

std::optional<Files::FileLock> tryLock(const QString& path, Files::FileLock::Kind kind)
{
    try {
        return Files::FileLock::tryLock(QFile::encodeName(path).toStdString(), kind);
    } catch (const Files::FileError& error) {
        throw AppError(ErrorNumber::FileAccess,
                       QStringLiteral("Quillock cannot make sure that no other launch types at the same time: the "
                                      "lock file \"%1\" cannot be used: %2")
                           .arg(path, QString::fromStdString(error.what())));
    }
}

} // namespace

SessionLaunchLock::SessionLaunchLock(std::shared_ptr<Files::FileLock> held, const QString& askingPath)
    : m_held(std::move(held)), m_askingPath(QFile::encodeName(askingPath).toStdString())
{}

std::optional<SessionLaunchLock> SessionLaunchLock::take(const std::function<bool()>& stopped)
{
    const QDir folder = runtimeFolder();
    const QString held = folder.filePath(QStringLiteral("quillock-launch.lock"));
    const QString asking = folder.filePath(QStringLiteral("quillock-launch-asked.lock"));
    if (std::shared_ptr<Files::FileLock> lock = heldHere.lock())
        return SessionLaunchLock(lock, asking);
    const QDeadlineTimer deadline(Patience);
    std::optional<Files::FileLock> asked;
    for (;;) {
        if (std::optional<Files::FileLock> lock = tryLock(held, Files::FileLock::Kind::Exclusive)) {
            auto shared = std::make_shared<Files::FileLock>(std::move(*lock));
            heldHere = shared;
            return SessionLaunchLock(shared, asking);
        }
        // The holder looks at the asking lock for a moment now and then: the ask may take a few tries.
        if (!asked)
            asked = tryLock(asking, Files::FileLock::Kind::Exclusive);
        if (deadline.hasExpired())
            return std::nullopt;
        QEventLoop pause;
        QTimer::singleShot(TryIntervalMilliseconds, &pause, &QEventLoop::quit);
        pause.exec();
        if (stopped())
            throw LaunchStopped(LaunchStopped::Reason::Asked);
    }
}

bool SessionLaunchLock::anotherLaunchAsks() const
{
    try {
        return !Files::FileLock::tryLock(m_askingPath, Files::FileLock::Kind::Shared);
    } catch (const std::exception&) {
        return false; // a lock file that cannot be used asks nothing; the asking launch says why
    }
}
