#include "os/files/FileLock.h"

// What every system's lock shares: a handle that moves and is let go once. Taking and letting go of the lock
// itself is each system's own (PosixFileLock.cpp, WindowsFileLock.cpp).
namespace Files {

FileLock::FileLock(FileLock&& other) noexcept : m_handle(other.m_handle)
{
    other.m_handle = -1;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept
{
    if (this != &other) {
        release();
        m_handle = other.m_handle;
        other.m_handle = -1;
    }
    return *this;
}

FileLock::~FileLock()
{
    release();
}

} // namespace Files
