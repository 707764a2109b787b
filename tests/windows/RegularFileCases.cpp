#include "Check.h"

#include "os/files/RegularFile.h"

#include <windows.h>

#include <optional>
#include <string>

// The file reader on a regular file, one above the limit, a folder and a missing file: its bytes, "too big", or the
// kind of refusal.
void runRegularFileCases()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "quillock-files-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string file = folder + "\\data file.txt";
    Files::writeRegularFile(file, "line one\r\nline two", Files::FileWrite::CreateOnly,
                            Files::NewFileAccess::OwnerOnly);
    const auto reading = [](const std::string& path, std::uint64_t maxBytes) -> std::string {
        try {
            const std::optional<std::string> bytes = Files::readRegularFile(path, maxBytes);
            return bytes ? "bytes:" + *bytes : "too big";
        } catch (const Files::FileError& error) {
            return error.kind() == Files::FileError::Kind::Missing      ? "missing"
                   : error.kind() == Files::FileError::Kind::NotRegular ? "not regular"
                                                                        : std::string("failed: ") + error.what();
        }
    };
    struct Row
    {
        const char* name;
        std::string path;
        std::uint64_t maxBytes;
        std::string expected;
    };
    const Row rows[] = {
        {"a regular file is read whole", file, 1024, "bytes:line one\r\nline two"},
        {"a file above the limit is not read", file, 4, "too big"},
        {"a folder is refused", folder, 1024, "not regular"},
        {"a missing file is told apart", folder + "\\missing.txt", 1024, "missing"},
    };
    for (const Row& row : rows) {
        const std::string got = reading(row.path, row.maxBytes);
        Check::that(got == row.expected, std::string("files: ") + row.name, Check::visible(got));
    }
    DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}
