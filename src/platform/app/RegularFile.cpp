#include "platform/app/RegularFile.h"

#include "domain/error/AppError.h"

#include <QDir>
#include <QFile>
#include <cerrno>

#ifdef Q_OS_WIN
#include <QFileInfo>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

[[noreturn]] void cannotWrite(const QString& fileName, const QString& reason)
{
    throw AppError(
        ErrorNumber::FileAccess,
        QStringLiteral("The file '%1' cannot be written: %2").arg(QDir::toNativeSeparators(fileName), reason));
}

const QString NotRegular = QStringLiteral("it is not a regular file.");

#ifndef Q_OS_WIN
mode_t toMode(QFileDevice::Permissions permissions)
{
    mode_t mode = 0;
    const std::pair<QFileDevice::Permission, mode_t> bits[] = {
        {QFileDevice::ReadOwner, S_IRUSR},  {QFileDevice::WriteOwner, S_IWUSR}, {QFileDevice::ReadGroup, S_IRGRP},
        {QFileDevice::WriteGroup, S_IWGRP}, {QFileDevice::ReadOther, S_IROTH},  {QFileDevice::WriteOther, S_IWOTH}};
    for (const auto& [permission, bit] : bits)
        if (permissions.testFlag(permission))
            mode |= bit;
    return mode;
}
#endif

} // namespace

void openRegularFileForWriting(QFile& file, const QString& fileName, FileWrite mode,
                               QFileDevice::Permissions newFilePermissions)
{
    const bool createOnly = mode == FileWrite::CreateOnly;
#ifdef Q_OS_WIN
    const QFileInfo info(fileName);
    if (info.isSymLink() || info.isJunction() || (info.exists() && !info.isFile()))
        cannotWrite(fileName, NotRegular);
    const bool isNew = !info.exists();
    if (!file.open(createOnly ? QIODevice::WriteOnly | QIODevice::NewOnly : QIODevice::WriteOnly | QIODevice::Truncate))
        cannotWrite(fileName, file.errorString());
    if (isNew)
        file.setPermissions(newFilePermissions);
#else
    const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (createOnly ? O_EXCL : 0);
    const int descriptor = ::open(QFile::encodeName(fileName).constData(), flags, toMode(newFilePermissions));
    if (descriptor < 0)
        cannotWrite(fileName, errno == ELOOP || errno == ENXIO ? NotRegular : qt_error_string(errno));
    struct stat status = {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        cannotWrite(fileName, NotRegular);
    }
    if (ftruncate(descriptor, 0) != 0) {
        const QString reason = qt_error_string(errno);
        ::close(descriptor);
        cannotWrite(fileName, reason);
    }
    if (!file.open(descriptor, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        cannotWrite(fileName, file.errorString());
    }
#endif
}
