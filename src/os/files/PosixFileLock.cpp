#include "os/files/FileLock.h"
#include "os/files/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace Files {
namespace {

[[noreturn]] void fail(FileError::Kind kind, int errorNumber)
{
    throw FileError(kind, std::generic_category().message(errorNumber));
}

// Read-write, made when missing; a file that cannot be opened for writing (a read-only folder or file system)
// is opened for reading, which locks as well. Never a link, and never waiting on a FIFO or a device.
int openLockFile(const std::string& path)
{
    if (path.find('\0') != std::string::npos)
        throw FileError(FileError::Kind::Failed, "its name holds a NUL character.");
    constexpr int Common = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | Common, S_IRUSR | S_IWUSR);
    if (descriptor < 0 && (errno == EROFS || errno == EACCES || errno == EPERM))
        descriptor = ::open(path.c_str(), O_RDONLY | Common);
    if (descriptor >= 0)
        return descriptor;
    const int number = errno;
    if (number == ELOOP)
        throw FileError(FileError::Kind::NotRegular, "it is a link.");
    if (number == ENXIO || number == EISDIR)
        throw FileError(FileError::Kind::NotRegular, "it is not a regular file.");
    fail(number == ENOENT ? FileError::Kind::Missing : FileError::Kind::Failed, number);
}

} // namespace

std::optional<FileLock> FileLock::tryLock(const std::string& path, Kind kind)
{
    FileLock lock(openLockFile(path));
    const int descriptor = static_cast<int>(lock.m_handle);
    struct stat status = {};
    if (::fstat(descriptor, &status) != 0)
        fail(FileError::Kind::Failed, errno);
    if (!S_ISREG(status.st_mode))
        throw FileError(FileError::Kind::NotRegular, "it is not a regular file.");
    // flock, not fcntl: its locks belong to the open file, not to the process, so closing another descriptor of
    // the same file elsewhere in the program does not drop this one.
    const int operation = (kind == Kind::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    int result = 0;
    do {
        result = ::flock(descriptor, operation);
    } while (result != 0 && errno == EINTR);
    if (result == 0)
        return lock;
    if (errno == EWOULDBLOCK)
        return std::nullopt;
    fail(FileError::Kind::Failed, errno);
}

// Closing the only descriptor of the open file lets its lock go.
void FileLock::release() noexcept
{
    if (m_handle >= 0)
        ::close(static_cast<int>(m_handle));
    m_handle = -1;
}

} // namespace Files
