#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace Files {

// A lock on a lock file, shared with other holders or held alone, taken without waiting. The system drops it when
// the process that holds it ends, however it ends (a crash or a kill included), so a lock is never left stale;
// the lock file itself stays, empty, for the next holder. Locks are told apart by the open file that holds them:
// two taken in one process exclude each other as two programs' locks do.
class FileLock
{
public:
    enum class Kind
    {
        Shared,   // any number of holders at once
        Exclusive // one holder, and no shared one
    };

    // The lock, or nothing when another holder's lock excludes it. The lock file is made, readable by its owner
    // only, when it is missing; one that exists where no file can be made (a read-only folder) is locked all the
    // same. Throws FileError: NotRegular ("it is a link." or "it is not a regular file.") for a link, a FIFO, a
    // folder or a device, which are left as they are; Missing or Failed when the file cannot be opened or locked.
    static std::optional<FileLock> tryLock(const std::string& path, Kind kind);

    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    // Lets the lock go.
    ~FileLock();

private:
    explicit FileLock(std::intptr_t handle) : m_handle(handle) {}
    void release() noexcept;

    std::intptr_t m_handle = -1; // the descriptor, or on Windows the file's handle
};

} // namespace Files
