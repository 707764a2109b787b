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
    const auto check = [](const char* name, const std::string& path, std::uint64_t maxBytes, const char* expected) {
        std::string got;
        try {
            const std::optional<std::string> bytes = Files::readRegularFile(path, maxBytes);
            got = bytes ? "bytes:" + *bytes : "too big";
        } catch (const Files::FileError& error) {
            got = error.kind() == Files::FileError::Kind::Missing      ? "missing"
                  : error.kind() == Files::FileError::Kind::NotRegular ? "not regular"
                                                                       : std::string("failed: ") + error.what();
        }
        Check::that(got == expected, std::string("files: ") + name, Check::visible(got));
    };
    check("a regular file is read whole", file, 1024, "bytes:line one\r\nline two");
    check("a file above the limit is not read", file, 4, "too big");
    check("a folder is refused", folder, 1024, "not regular");
    check("a missing file is told apart", folder + "\\missing.txt", 1024, "missing");
    DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}
