#include "os/WindowsText.h"
#include "os/files/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <io.h>
#include <system_error>

#ifndef NOMINMAX
#define NOMINMAX // std::min, not the macro
#endif
#include <windows.h>

namespace Files {
namespace {

const std::string NotRegular = "it is not a regular file.";

// Every kind of sharing, so that another program (or the PDF writer, which opens the file by its name) may open
// the file while it is held here.
constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

[[noreturn]] void failSystem(FileError::Kind kind, DWORD error)
{
    throw FileError(kind, std::system_category().message(static_cast<int>(error)));
}

[[noreturn]] void failRuntime(FileError::Kind kind, int errorNumber)
{
    throw FileError(kind, std::generic_category().message(errorNumber));
}

std::wstring widePath(const std::string& path)
{
    const std::optional<std::wstring> wide = Os::wideFromUtf8(path);
    if (path.empty() || !wide)
        throw FileError(FileError::Kind::Failed, "it has no valid name: empty, not UTF-8, or holding a zero.");
    return *wide;
}

bool isMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// A folder is not opened as a file: its open fails with "access denied".
bool isFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Opened with FILE_FLAG_OPEN_REPARSE_POINT, a symbolic link or a junction is the handle's own file: a regular
// file is a disk file that is neither a folder nor a reparse point. Anything else is closed and refused.
void requireRegularFile(HANDLE handle, const std::string& linkReason)
{
    FILE_ATTRIBUTE_TAG_INFO tag = {};
    const bool known = GetFileType(handle) == FILE_TYPE_DISK &&
                       GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag);
    const bool isLink = known && (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (known && !isLink && (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return;
    CloseHandle(handle);
    throw FileError(FileError::Kind::NotRegular, isLink ? linkReason : NotRegular);
}

// The C runtime's descriptor for the handle, which it then owns.
int runtimeDescriptor(HANDLE handle, int flags)
{
    const int descriptor = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), flags | _O_BINARY);
    if (descriptor < 0) {
        const int number = errno;
        CloseHandle(handle);
        failRuntime(FileError::Kind::Failed, number);
    }
    return descriptor;
}

HANDLE handleOf(int descriptor)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
}

bool isSameFile(HANDLE one, HANDLE other)
{
    BY_HANDLE_FILE_INFORMATION first = {};
    BY_HANDLE_FILE_INFORMATION second = {};
    return GetFileInformationByHandle(one, &first) && GetFileInformationByHandle(other, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber && first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

} // namespace

// A FIFO has a name of its own (\\.\pipe\...) on Windows, so a path to a disk file never waits on one.
RegularFile RegularFile::openForReading(const std::string& path)
{
    const std::wstring wide = widePath(path);
    const HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ, ShareAll, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (isMissing(error))
            failSystem(FileError::Kind::Missing, error);
        if (isFolder(wide))
            throw FileError(FileError::Kind::NotRegular, NotRegular);
        failSystem(FileError::Kind::Failed, error);
    }
    requireRegularFile(handle, "it is a link.");
    return RegularFile(runtimeDescriptor(handle, _O_RDONLY));
}

RegularFile RegularFile::openForWriting(const std::string& path, FileWrite mode, NewFileAccess /*access*/)
{
    const std::wstring wide = widePath(path);
    const DWORD disposition = mode == FileWrite::CreateOnly ? CREATE_NEW : OPEN_ALWAYS;
    const HANDLE handle = CreateFileW(wide.c_str(), GENERIC_WRITE, ShareAll, nullptr, disposition,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (isFolder(wide))
            throw FileError(FileError::Kind::NotRegular, NotRegular);
        failSystem(FileError::Kind::Failed, error);
    }
    requireRegularFile(handle, NotRegular);
    if (!SetEndOfFile(handle)) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        failSystem(FileError::Kind::Failed, error);
    }
    return RegularFile(runtimeDescriptor(handle, _O_WRONLY));
}

std::optional<std::string> RegularFile::readAll(std::uint64_t maxBytes)
{
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(handleOf(m_descriptor), &size))
        failSystem(FileError::Kind::Failed, GetLastError());
    if (size.QuadPart < 0 || static_cast<std::uint64_t>(size.QuadPart) > maxBytes)
        return std::nullopt;
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
    // The file may grow while it is read: one byte past the limit tells.
    char buffer[16384];
    for (;;) {
        const int count = _read(m_descriptor, buffer, sizeof buffer);
        if (count < 0)
            failRuntime(FileError::Kind::Failed, errno);
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
        const auto chunk = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1u << 30));
        const int count = _write(m_descriptor, bytes.data(), chunk);
        if (count < 0)
            failRuntime(FileError::Kind::Incomplete, errno);
        if (count == 0)
            failRuntime(FileError::Kind::Incomplete, ENOSPC);
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
}

// The held handle may not delete (the PDF writer's own open would not share with it), so the name is opened again
// for deleting, and the file deleted only when it is the one held.
void RegularFile::discard(const std::string& path)
{
    HANDLE named = INVALID_HANDLE_VALUE;
    try {
        named = CreateFileW(widePath(path).c_str(), DELETE | FILE_READ_ATTRIBUTES, ShareAll, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    } catch (const FileError&) {
        named = INVALID_HANDLE_VALUE;
    }
    if (named != INVALID_HANDLE_VALUE) {
        if (isSameFile(handleOf(m_descriptor), named)) {
            FILE_DISPOSITION_INFO deleteOnClose = {TRUE};
            SetFileInformationByHandle(named, FileDispositionInfo, &deleteOnClose, sizeof deleteOnClose);
        }
        CloseHandle(named);
    }
    close();
}

void RegularFile::syncToDisk()
{
    if (_commit(m_descriptor) != 0)
        failRuntime(FileError::Kind::Failed, errno);
}

void renameNewFileOver(const std::string& from, const std::string& to)
{
    const std::wstring wideFrom = widePath(from);
    const std::wstring wideTo = widePath(to);
    if (!MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(wideFrom.c_str());
        failSystem(FileError::Kind::Failed, error);
    }
}

void RegularFile::close() noexcept
{
    if (m_descriptor >= 0)
        _close(m_descriptor);
    m_descriptor = -1;
}

} // namespace Files
