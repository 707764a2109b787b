#include "os/files/RegularFile.h"

#include <utility>

namespace Files {

RegularFile::RegularFile(RegularFile&& other) noexcept : m_descriptor(std::exchange(other.m_descriptor, -1))
{}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept
{
    if (this != &other) {
        close();
        m_descriptor = std::exchange(other.m_descriptor, -1);
    }
    return *this;
}

RegularFile::~RegularFile()
{
    close();
}

std::optional<std::string> readRegularFile(const std::string& path, std::uint64_t maxBytes)
{
    RegularFile file = RegularFile::openForReading(path);
    return file.readAll(maxBytes);
}

void writeRegularFile(const std::string& path, std::string_view bytes, FileWrite mode, NewFileAccess access)
{
    RegularFile file = RegularFile::openForWriting(path, mode, access);
    try {
        file.writeAll(bytes);
    } catch (const FileError&) {
        // A check file cut short would refuse every answer; a file that was there before is the caller's.
        if (mode == FileWrite::CreateOnly)
            file.discard(path);
        throw;
    }
}

} // namespace Files
