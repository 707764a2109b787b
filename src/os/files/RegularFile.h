#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace Files {

// Paths are in the platform's narrow file-name encoding: the bytes the file system holds on Linux, UTF-8 on
// Windows.

enum class FileWrite
{
    Replace,   // an existing regular file is emptied and written
    CreateOnly // only a new file is written: one that exists, even one made a moment ago, is an error
};

// Who may read and write a file made by a write, less what the umask takes away. On Windows a new file takes
// the access rights of its folder.
enum class NewFileAccess
{
    OwnerOnly,
    Everyone
};

// Why a file was not opened, read or written; what() is the reason, ready to follow "cannot be read: ".
class FileError : public std::runtime_error
{
public:
    enum class Kind
    {
        Missing,    // the file, or a folder on its path, does not exist
        NotRegular, // a link, a folder, a FIFO or a device: left as it is
        Failed,     // the system refused; the reason is the system's
        Incomplete  // a write stopped part-way (a full disk)
    };

    FileError(Kind kind, const std::string& reason) : std::runtime_error(reason), m_kind(kind) {}

    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

// An open regular file, closed when it goes. It is opened without following a link and without waiting (a FIFO
// or a device never holds the open), and only once it is known to be a regular file; so a name cannot be swapped
// for a link between the check and the use.
class RegularFile
{
public:
    // Throws FileError: Missing, NotRegular ("it is a link." or "it is not a regular file.") or Failed.
    static RegularFile openForReading(const std::string& path);
    // Made when missing (with the given access) and emptied once it is known to be a regular file. Throws
    // FileError: NotRegular ("it is not a regular file.") for a link, FIFO, folder or device, Failed otherwise (a
    // missing folder, no permission, a file that exists where mode is CreateOnly).
    static RegularFile openForWriting(const std::string& path, FileWrite mode, NewFileAccess access);

    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;
    ~RegularFile();

    // The rest of the file; nothing, with nothing kept, when it holds more than maxBytes bytes (also when it grows
    // past them while it is read). Throws FileError (Failed) when it cannot be read.
    std::optional<std::string> readAll(std::uint64_t maxBytes);
    // Writes all the bytes at the current position. Throws FileError (Incomplete) when only part was written.
    void writeAll(std::string_view bytes);
    // Closes the file and deletes it, when the path still names this very file (one this program has just made
    // and could not finish). Nothing is thrown: a file that cannot be deleted stays.
    void discard(const std::string& path);

    // Writes what the file holds through to the disk. Throws FileError (Failed) when the system cannot.
    void syncToDisk();

    // The open file's descriptor (on Windows, the C runtime's), for a writer that takes an open file; -1 once
    // closed.
    int descriptor() const { return m_descriptor; }

private:
    friend void replaceRegularFile(const std::string&, std::string_view, NewFileAccess);
    explicit RegularFile(int descriptor) : m_descriptor(descriptor) {}
    void close() noexcept;

    int m_descriptor = -1;
};

// The whole of a regular file, or nothing when it holds more than maxBytes bytes. Throws FileError as
// RegularFile::openForReading and readAll do.
std::optional<std::string> readRegularFile(const std::string& path, std::uint64_t maxBytes);
// Writes the bytes as the whole of a regular file, as RegularFile::openForWriting and writeAll do. A file that had
// to be new (CreateOnly) and cannot be written whole is deleted again, so no file cut short is left behind.
void writeRegularFile(const std::string& path, std::string_view bytes, FileWrite mode, NewFileAccess access);

// Replaces the whole of the file at once: the bytes go to a new file beside it, which is written through to the
// disk and then renamed over the path, so that the path names the old file or the new one, never a part of
// either. Whatever stands at the path is replaced, a link included, and never followed. Throws FileError as
// RegularFile::openForWriting and writeAll do, or Failed when the rename is refused; the new file is removed
// again, and the old one left as it was, when anything fails.
void replaceRegularFile(const std::string& path, std::string_view bytes, NewFileAccess access);

// Renames a file just made over another name, replacing what stands there (a link is replaced, not followed).
// Throws FileError (Failed) when the system refuses, with the new file removed.
void renameNewFileOver(const std::string& from, const std::string& to);

} // namespace Files
