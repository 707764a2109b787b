#include "os/files/RegularFile.h"

#include <cstdio>
#include <random>
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

namespace {

// A name beside the path that no one else picks: a random suffix, and only a file that does not exist yet is made.
std::string siblingName(const std::string& path)
{
    std::random_device random;
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".new-%08x%08x", random(), random());
    return path + suffix;
}

} // namespace

void replaceRegularFile(const std::string& path, std::string_view bytes, NewFileAccess access)
{
    const std::string newPath = siblingName(path);
    RegularFile file = RegularFile::openForWriting(newPath, FileWrite::CreateOnly, access);
    try {
        file.writeAll(bytes);
        file.syncToDisk();
        file.close(); // a file held open cannot be renamed everywhere
    } catch (const FileError&) {
        file.discard(newPath);
        throw;
    }
    renameNewFileOver(newPath, path);
}

} // namespace Files
