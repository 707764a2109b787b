#include "Cases.h"
#include "Check.h"

#include "os/files/RegularFile.h"
#include "os/shell/WindowsCommandLine.h"
#include "os/shell/WindowsShell.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

// Links that a split command line, a shell or a browser's option parser would take apart.
const std::vector<std::string> HostileLinks = {
    "http://site.example/login?user=a b&next=%2F",
    "http://site.example/ --user-data-dir=C:\\x -new-window",
    "http://site.example/\"quoted\" and \"\"doubled\"\"",
    "http://site.example/%1 %PATH% %% 100%",
    "http://site.example/^caret &amp; | <tag> ^&",
    "C:\\folder with blank\\",
    "back\\\\\"slash\\\\",
    "--option-only",
};

std::string temporaryFolder()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    return temp;
}

// The arguments that the program of a command line reads, by the rules every program of the system splits it by.
std::vector<std::string> argumentsRead(const std::string& commandLine)
{
    const std::wstring wide(commandLine.begin(), commandLine.end()); // ASCII links only
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(wide.c_str(), &count);
    std::vector<std::string> read;
    for (int i = 1; i < count; ++i) {
        std::string narrow;
        for (const wchar_t* unit = arguments[i]; *unit != 0; ++unit)
            narrow += static_cast<char>(*unit);
        read.push_back(narrow);
    }
    LocalFree(arguments);
    return read;
}

// The recording browser's record, once its file appears (it was started and ends by itself).
std::optional<std::string> awaitRecording(const std::string& path)
{
    for (int waited = 0; waited < 15000; waited += 50) {
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            return Files::readRegularFile(path, 1 << 20);
        Sleep(50);
    }
    return std::nullopt;
}

void checkQuoting()
{
    for (const std::string& link : HostileLinks) {
        const std::vector<std::string> read = argumentsRead("browser.exe " + Desktop::quoteCommandLineArgument(link));
        Check::that(read.size() == 1 && read.front() == link, "quoting: one argument " + Check::visible(link),
                    read.size() == 1 ? Check::visible(read.front()) : std::to_string(read.size()) + " arguments");
    }
}

// How an association's command is read, over a made-up set of files: the longest run of words that names a file.
void checkProgramOfCommandLine()
{
    const std::vector<std::string> files = {"C:\\Program", "C:\\Program Files\\B\\b.exe", "C:\\Tools\\open.exe"};
    const auto isFile = [&](const std::string& path) {
        return std::find(files.begin(), files.end(), path) != files.end();
    };
    struct Row
    {
        std::string command;
        std::optional<std::string> expected;
    };
    const Row rows[] = {
        {"\"C:\\Program Files\\B\\b.exe\" \"%1\"", "C:\\Program Files\\B\\b.exe"},
        {"C:\\Program Files\\B\\b.exe %1", "C:\\Program Files\\B\\b.exe"},
        {"  C:\\Program Files\\B\\b.exe   -osint -url \"%1\"", "C:\\Program Files\\B\\b.exe"},
        {"C:\\Tools\\open %1", "C:\\Tools\\open.exe"},
        {"C:\\Program Files\\Missing\\m.exe %1", "C:\\Program"},
        {"\"C:\\Program Files\\Missing\\m.exe\" %1", std::nullopt},
        {"\"C:\\Program Files\\B\\b.exe", std::nullopt},
    };
    for (const Row& row : rows) {
        const std::optional<std::string> program = Desktop::programOfCommandLine(row.command, isFile);
        Check::that(program == row.expected, "association: the program of " + Check::visible(row.command),
                    program ? Check::visible(*program) : "none");
    }
}

void checkStartedWithOneArgument(Desktop::Shell& shell, const std::string& program)
{
    const std::string folder = temporaryFolder();
    int number = 0;
    for (const std::string& link : HostileLinks) {
        const std::string recording =
            folder + "quillock-recording-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++number);
        SetEnvironmentVariableA("QUILLOCK_RECORDING", recording.c_str());
        const bool started = shell.startMaximized(program, link, 0).has_value();
        const std::optional<std::string> record = started ? awaitRecording(recording) : std::nullopt;
        const std::string expected = "1\n" + std::to_string(SW_SHOWMAXIMIZED) + "\n" + link + '\0';
        Check::that(record == expected, "start: the browser reads exactly " + Check::visible(link) + ", maximized",
                    !started ? "not started"
                    : record ? Check::visible(*record)
                             : "no record within 15 s");
        DeleteFileA(recording.c_str());
    }
}

} // namespace

void runShellCases(const std::string& expectedProgram)
{
    checkQuoting();
    checkProgramOfCommandLine();

    Desktop::WindowsShell shell;
    const std::string page = temporaryFolder() + "quillock page.htm";
    Files::writeRegularFile(page, "<html></html>", Files::FileWrite::Replace, Files::NewFileAccess::OwnerOnly);
    const std::optional<std::string> program = shell.findExecutable(page);
    DeleteFileA(page.c_str());
    Check::that(program == expectedProgram, "association: the program of .htm is " + expectedProgram,
                program ? Check::visible(*program) : "none found");
    checkStartedWithOneArgument(shell, expectedProgram);
}
