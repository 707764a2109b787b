#include "os/files/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace Files {
namespace {

const std::string NotRegular = "it is not a regular file.";

[[noreturn]] void fail(FileError::Kind kind, int errorNumber)
{
    throw FileError(kind, std::generic_category().message(errorNumber));
}

// open() would stop at a NUL byte and open another file than the one named.
void requireWholeName(const std::string& path)
{
    if (path.find('\0') != std::string::npos)
        throw FileError(FileError::Kind::Failed, "its name holds a NUL character.");
}

bool isSameFile(const struct stat& one, const struct stat& other)
{
    return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

} // namespace

RegularFile RegularFile::openForReading(const std::string& path)
{
    requireWholeName(path);
    // O_NONBLOCK keeps a FIFO or a device from holding the open; nothing but a regular file is read.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        const int number = errno;
        if (number == ENOENT)
            fail(FileError::Kind::Missing, number);
        if (number == ELOOP)
            throw FileError(FileError::Kind::NotRegular, "it is a link.");
        fail(FileError::Kind::Failed, number);
    }
    RegularFile file(descriptor);
    struct stat status = {};
    if (::fstat(descriptor, &status) != 0)
        fail(FileError::Kind::Failed, errno);
    if (!S_ISREG(status.st_mode))
        throw FileError(FileError::Kind::NotRegular, NotRegular);
    return file;
}

RegularFile RegularFile::openForWriting(const std::string& path, FileWrite mode, NewFileAccess access)
{
    requireWholeName(path);
    const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC |
                      (mode == FileWrite::CreateOnly ? O_EXCL : 0);
    const mode_t ownerOnly = S_IRUSR | S_IWUSR;
    const mode_t newFileMode =
        access == NewFileAccess::OwnerOnly ? ownerOnly : ownerOnly | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH;
    const int descriptor = ::open(path.c_str(), flags, newFileMode);
    if (descriptor < 0) {
        // ELOOP: the name is a link; ENXIO: a FIFO that no one reads, or a device without its driver.
        if (errno == ELOOP || errno == ENXIO || errno == EISDIR)
            throw FileError(FileError::Kind::NotRegular, NotRegular);
        fail(FileError::Kind::Failed, errno);
    }
    RegularFile file(descriptor);
    struct stat status = {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode))
        throw FileError(FileError::Kind::NotRegular, NotRegular);
    if (::ftruncate(descriptor, 0) != 0)
        fail(FileError::Kind::Failed, errno);
    return file;
}

std::optional<std::string> RegularFile::readAll(std::uint64_t maxBytes)
{
    struct stat status = {};
    if (::fstat(m_descriptor, &status) != 0)
        fail(FileError::Kind::Failed, errno);
    const auto size = static_cast<std::uint64_t>(std::max<off_t>(status.st_size, 0));
    if (size > maxBytes)
        return std::nullopt;
    std::string bytes;
    bytes.reserve(size);
    // The file may grow while it is read: one byte past the limit tells.
    char buffer[16384];
    for (;;) {
        const ssize_t count = ::read(m_descriptor, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            fail(FileError::Kind::Failed, errno);
        if (count == 0)
            return bytes;
        bytes.append(buffer, static_cast<std::size_t>(count));
        if (bytes.size() > maxBytes)
            return std::nullopt;
    }
}

void RegularFile::writeAll(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t count = ::write(m_descriptor, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            fail(FileError::Kind::Incomplete, errno);
        if (count == 0)
            fail(FileError::Kind::Incomplete, ENOSPC);
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
}

void RegularFile::discard(const std::string& path)
{
    struct stat mine = {};
    struct stat named = {};
    const bool stillNamed = ::fstat(m_descriptor, &mine) == 0 && ::lstat(path.c_str(), &named) == 0 &&
                            S_ISREG(named.st_mode) && isSameFile(mine, named);
    close();
    if (stillNamed)
        ::unlink(path.c_str());
}

void RegularFile::syncToDisk()
{
    while (::fsync(m_descriptor) != 0) {
        if (errno != EINTR)
            fail(FileError::Kind::Failed, errno);
    }
}

void renameNewFileOver(const std::string& from, const std::string& to)
{
    requireWholeName(from);
    requireWholeName(to);
    if (::rename(from.c_str(), to.c_str()) != 0) {
        const int number = errno;
        ::unlink(from.c_str());
        fail(FileError::Kind::Failed, number);
    }
    // The rename itself reaches the disk with its folder; a folder that cannot be synced only loses durability.
    const std::string::size_type slash = to.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : to.substr(0, slash);
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

void RegularFile::close() noexcept
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
}

} // namespace Files
