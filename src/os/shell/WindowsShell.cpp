#include "os/shell/WindowsShell.h"

#include "os/shell/WindowsCommandLine.h"

#include <windows.h>

#include <shellapi.h>
#include <shlwapi.h>

namespace Desktop {
namespace {

// The shell functions return a value above 32 on success and an error code up to 32 otherwise.
bool succeeded(HINSTANCE result)
{
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool isFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// ".htm" of "C:\Temp\page.htm"; empty when the name has no extension.
std::string extensionOf(const std::string& path)
{
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || path.find_first_of("\\/", dot) != std::string::npos)
        return {};
    return path.substr(dot);
}

// The "open" command associated with the extension, with its environment variables expanded.
std::optional<std::string> openCommandFor(const std::string& extension)
{
    char command[4096] = {};
    DWORD size = sizeof command;
    if (extension.empty() ||
        AssocQueryStringA(ASSOCF_NOTRUNCATE, ASSOCSTR_COMMAND, extension.c_str(), "open", command, &size) != S_OK)
        return std::nullopt;
    char expanded[4096] = {};
    const DWORD length = ExpandEnvironmentStringsA(command, expanded, sizeof expanded);
    if (length == 0 || length > sizeof expanded)
        return std::string(command);
    return std::string(expanded);
}

} // namespace

// The association's command is read as CreateProcess reads it: FindExecutable cuts an unquoted path at its first
// blank. FindExecutable still answers for a command that names its program without a path (found on PATH).
std::optional<std::string> WindowsShell::findExecutable(const std::string& documentPath)
{
    if (const std::optional<std::string> command = openCommandFor(extensionOf(documentPath))) {
        if (std::optional<std::string> program = programOfCommandLine(*command, isFile))
            return program;
    }
    char program[MAX_PATH] = {};
    if (!succeeded(FindExecutableA(documentPath.c_str(), nullptr, program)))
        return std::nullopt;
    return std::string(program);
}

std::optional<StartedProgram> WindowsShell::startMaximized(const std::string& program, const std::string& argument,
                                                           std::uintptr_t ownerWindow)
{
    const std::string parameters = quoteCommandLineArgument(argument);
    if (!succeeded(ShellExecuteA(reinterpret_cast<HWND>(ownerWindow), "open", program.c_str(), parameters.c_str(),
                                 nullptr, SW_SHOWMAXIMIZED)))
        return std::nullopt;
    const std::size_t name = program.find_last_of("\\/:") + 1;
    return StartedProgram{0, {program.substr(name, program.find_last_of('.') - name)}, {}};
}

} // namespace Desktop
