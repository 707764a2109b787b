#include "Check.h"

#include "os/WindowsText.h"
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

// Links that a split command line, a shell or a browser's option parser would take apart, and links outside the
// ANSI code page (UTF-8 here), which only the wide functions carry.
const std::vector<std::string> HostileLinks = {
    "https://\xd0\xbf\xd1\x80\xd0\xb8\xd0\xbc\xd0\xb5\xd1\x80.\xd1\x80\xd1\x84/"
    "\xd0\xb2\xd1\x85\xd0\xbe\xd0\xb4",                                                        // Cyrillic
    "https://example.com/\xe8\xb7\xaf\xe5\xbe\x84/\xe7\x99\xbb\xe5\xbd\x95?q=\xe4\xb8\xad %1", // Chinese
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
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(Os::wideFromUtf8(commandLine).value_or(L"").c_str(), &count);
    std::vector<std::string> read;
    for (int i = 1; i < count; ++i)
        read.push_back(Os::utf8FromWide(arguments[i]));
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

// How an association's command is read, over a made-up set of files: the longest run of words that names a file, and
// its arguments as its program reads them; and those arguments with a link in the place of "%1" or "%L" (or last).
void checkAssociationCommands()
{
    const std::vector<std::string> files = {"C:\\Program", "C:\\Program Files\\B\\b.exe", "C:\\Tools\\open.exe"};
    const auto isFile = [&](const std::string& path) {
        return std::find(files.begin(), files.end(), path) != files.end();
    };
    const std::string link = "https://a.example/?x=\"1\" %1 %L";
    struct Row
    {
        std::string command;
        std::optional<std::string> program;
        std::vector<std::string> started; // what the program reads when started with the link
    };
    const Row rows[] = {
        {"\"C:\\Program Files\\B\\b.exe\" \"%1\"", "C:\\Program Files\\B\\b.exe", {link}},
        {"C:\\Program Files\\B\\b.exe %1", "C:\\Program Files\\B\\b.exe", {link}},
        {"  C:\\Program Files\\B\\b.exe   -osint -url \"%1\"", "C:\\Program Files\\B\\b.exe", {"-osint", "-url", link}},
        {"\"C:\\Program Files\\B\\b.exe\" --single-argument --url=%L %*",
         "C:\\Program Files\\B\\b.exe",
         {"--single-argument", "--url=" + link}},
        {"C:\\Tools\\open \"a \\\"b\\\" c\" \\\\x", "C:\\Tools\\open.exe", {"a \"b\" c", "\\\\x", link}},
        {"C:\\Program Files\\Missing\\m.exe %1", "C:\\Program", {"Files\\Missing\\m.exe", link}},
        {"\"C:\\Program Files\\Missing\\m.exe\" %1", std::nullopt, {}},
        {"\"C:\\Program Files\\B\\b.exe", std::nullopt, {}},
    };
    for (const Row& row : rows) {
        const std::optional<Desktop::CommandLine> read = Desktop::readCommandLine(row.command, isFile);
        const std::vector<std::string> started =
            read ? argumentsRead("b.exe " + Desktop::argumentsWithDocument(read->arguments, link))
                 : std::vector<std::string>{};
        Check::that(read.has_value() == row.program.has_value() && (!read || read->program == *row.program) &&
                        started == row.started,
                    "association: " + Check::visible(row.command) + " starts its program with its arguments",
                    read ? Check::visible(read->program) + " reads " + std::to_string(started.size()) + " arguments"
                         : "none");
    }
}

// The association's own arguments come first, then the link as one argument, byte for byte.
void checkStartedWithOneArgument(Desktop::Shell& shell, const std::string& program,
                                 const std::vector<std::string>& associationArguments)
{
    const std::string folder = temporaryFolder();
    int number = 0;
    for (const std::string& link : HostileLinks) {
        const std::string recording =
            folder + "quillock-recording-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++number);
        SetEnvironmentVariableA("QUILLOCK_RECORDING", recording.c_str());
        const bool started = shell.startMaximized(program, link, 0).has_value();
        const std::optional<std::string> record = started ? awaitRecording(recording) : std::nullopt;
        std::string expected =
            std::to_string(associationArguments.size() + 1) + "\n" + std::to_string(SW_SHOWMAXIMIZED) + "\n";
        for (const std::string& argument : associationArguments)
            expected += argument + '\0';
        expected += link + '\0';
        Check::that(record == expected, "start: the browser reads exactly " + Check::visible(link) + ", maximized",
                    !started ? "not started"
                    : record ? Check::visible(*record)
                             : "no record within 15 s");
        DeleteFileA(recording.c_str());
    }
}

} // namespace

void runShellCases(const std::string& expectedProgram, const std::vector<std::string>& associationArguments)
{
    checkAssociationCommands();

    Desktop::WindowsShell shell;
    const std::string page = temporaryFolder() + "quillock page.htm";
    Files::writeRegularFile(page, "<html></html>", Files::FileWrite::Replace, Files::NewFileAccess::OwnerOnly);
    const std::optional<std::string> program = shell.findExecutable(page);
    DeleteFileA(page.c_str());
    Check::that(program == expectedProgram, "association: the program of .htm is " + expectedProgram,
                program ? Check::visible(*program) : "none found");
    checkStartedWithOneArgument(shell, expectedProgram, associationArguments);
}
