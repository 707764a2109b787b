#include "os/WindowsText.h"
#include "os/files/FileLock.h"
#include "os/files/RegularFile.h"

#include <system_error>

#ifndef NOMINMAX
#define NOMINMAX // std::min, not the macro
#endif
#include <windows.h>

namespace Files {
namespace {

[[noreturn]] void fail(FileError::Kind kind, DWORD error)
{
    throw FileError(kind, std::system_category().message(static_cast<int>(error)));
}

std::wstring widePath(const std::string& path)
{
    const std::optional<std::wstring> wide = Os::wideFromUtf8(path);
    if (path.empty() || !wide)
        throw FileError(FileError::Kind::Failed, "it has no valid name: empty, not UTF-8, or holding a zero.");
    return *wide;
}

// Opened with FILE_FLAG_OPEN_REPARSE_POINT, a link is the handle's own file and is refused, as are folders and
// anything that is not a disk file.
void requireRegularFile(HANDLE handle)
{
    FILE_ATTRIBUTE_TAG_INFO tag = {};
    const bool known = GetFileType(handle) == FILE_TYPE_DISK &&
                       GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag);
    const bool isLink = known && (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (known && !isLink && (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return;
    CloseHandle(handle);
    throw FileError(FileError::Kind::NotRegular, isLink ? "it is a link." : "it is not a regular file.");
}

} // namespace

// A byte range lock on the file's first byte; the system drops it with the handle, or with the process.
std::optional<FileLock> FileLock::tryLock(const std::string& path, Kind kind)
{
    const std::wstring wide = widePath(path);
    constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, ShareAll, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED)
        handle = CreateFileW(wide.c_str(), GENERIC_READ, ShareAll, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            throw FileError(FileError::Kind::NotRegular, "it is not a regular file.");
        fail(error == ERROR_PATH_NOT_FOUND ? FileError::Kind::Missing : FileError::Kind::Failed, error);
    }
    requireRegularFile(handle);
    FileLock lock(reinterpret_cast<std::intptr_t>(handle));
    OVERLAPPED start = {};
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (kind == Kind::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (LockFileEx(handle, flags, 0, 1, 0, &start))
        return lock;
    const DWORD error = GetLastError();
    if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING)
        return std::nullopt;
    fail(FileError::Kind::Failed, error);
}

void FileLock::release() noexcept
{
    if (m_handle != -1)
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    m_handle = -1;
}

} // namespace Files
