#include "system/app/DataFileLock.h"

#include "domain/error/AppError.h"
#include "platform/app/RegularFile.h"
#include "system/app/basModule1.h"

#include <QDir>
#include <QThread>

using Files::FileLock;

namespace {

// How long a main window's start waits for a pass to end, and how often it looks.
constexpr int PassWaitMilliseconds = 10000;
constexpr int PassPollMilliseconds = 50;

QString shownPath()
{
    return QDir::toNativeSeparators(DataFileLock::path());
}

std::optional<FileLock> tryLock(FileLock::Kind kind)
{
    return FileLock::tryLock(nativeFileName(DataFileLock::path()), kind);
}

} // namespace

QString DataFileLock::path()
{
    return DataFilePath() + QStringLiteral(".lock");
}

DataFileLock DataFileLock::share()
{
    try {
        for (int waited = 0;; waited += PassPollMilliseconds) {
            if (std::optional<FileLock> lock = tryLock(FileLock::Kind::Shared))
                return DataFileLock(std::move(lock));
            if (waited >= PassWaitMilliseconds)
                break;
            QThread::msleep(PassPollMilliseconds);
        }
    } catch (const Files::FileError&) {
        return DataFileLock(std::nullopt);
    }
    throw AppError(ErrorNumber::PermissionDenied,
                   QStringLiteral("Quillock Utility is re-enciphering the websites of the data file '%1'. Start "
                                  "Quillock again when it has finished.")
                       .arg(QDir::toNativeSeparators(DataFilePath())));
}

DataFileLock DataFileLock::holdAlone()
{
    std::optional<FileLock> lock;
    try {
        lock = tryLock(FileLock::Kind::Exclusive);
    } catch (const Files::FileError& error) {
        throw AppError(ErrorNumber::FileAccess, QStringLiteral("The lock file '%1' beside the data file cannot be "
                                                               "used, so the websites cannot be re-enciphered: %2")
                                                    .arg(shownPath(), QString::fromLocal8Bit(error.what())));
    }
    if (!lock)
        throw AppError(ErrorNumber::PermissionDenied,
                       QStringLiteral("Quillock is running on the data file '%1'. Close every Quillock window on it, "
                                      "then re-encipher the websites.")
                           .arg(QDir::toNativeSeparators(DataFilePath())));
    return DataFileLock(std::move(lock));
}
