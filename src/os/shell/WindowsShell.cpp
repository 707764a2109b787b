#include "os/shell/WindowsShell.h"

#include "os/WindowsText.h"

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
    const std::optional<std::wstring> wide = Os::wideFromUtf8(path);
    const DWORD attributes = wide ? GetFileAttributesW(wide->c_str()) : INVALID_FILE_ATTRIBUTES;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// ".htm" of "C:\Temp\page.htm"; empty when the name has no extension.
std::wstring extensionOf(const std::wstring& path)
{
    const std::size_t dot = path.find_last_of(L'.');
    if (dot == std::wstring::npos || path.find_first_of(L"\\/", dot) != std::wstring::npos)
        return {};
    return path.substr(dot);
}

// The "open" command associated with the extension, with its environment variables expanded.
std::optional<std::wstring> openCommandFor(const std::wstring& extension)
{
    wchar_t command[4096] = {};
    DWORD size = ARRAYSIZE(command);
    if (extension.empty() ||
        AssocQueryStringW(ASSOCF_NOTRUNCATE, ASSOCSTR_COMMAND, extension.c_str(), L"open", command, &size) != S_OK)
        return std::nullopt;
    wchar_t expanded[4096] = {};
    const DWORD length = ExpandEnvironmentStringsW(command, expanded, ARRAYSIZE(expanded));
    if (length == 0 || length > ARRAYSIZE(expanded))
        return std::wstring(command);
    return std::wstring(expanded);
}

} // namespace

// The association's command is read as CreateProcess reads it: FindExecutable cuts an unquoted path at its first
// blank. FindExecutable still answers for a command that names its program without a path (found on PATH).
std::optional<std::string> WindowsShell::findExecutable(const std::string& documentPath)
{
    m_association.reset();
    const std::optional<std::wstring> document = Os::wideFromUtf8(documentPath);
    if (!document)
        return std::nullopt;
    if (const std::optional<std::wstring> command = openCommandFor(extensionOf(*document))) {
        m_association = readCommandLine(Os::utf8FromWide(*command), isFile);
        if (m_association)
            return m_association->program;
    }
    wchar_t program[MAX_PATH] = {};
    if (!succeeded(FindExecutableW(document->c_str(), nullptr, program)))
        return std::nullopt;
    return Os::utf8FromWide(program);
}

std::optional<StartedProgram> WindowsShell::startMaximized(const std::string& program, const std::string& argument,
                                                           std::uintptr_t ownerWindow)
{
    const bool associated = m_association && m_association->program == program;
    const std::optional<std::wstring> file = Os::wideFromUtf8(program);
    const std::optional<std::wstring> parameters = Os::wideFromUtf8(
        associated ? argumentsWithDocument(m_association->arguments, argument) : quoteCommandLineArgument(argument));
    if (!file || !parameters ||
        !succeeded(ShellExecuteW(reinterpret_cast<HWND>(ownerWindow), L"open", file->c_str(), parameters->c_str(),
                                 nullptr, SW_SHOWMAXIMIZED)))
        return std::nullopt;
    const std::size_t name = program.find_last_of("\\/:") + 1;
    return StartedProgram{0, {program.substr(name, program.find_last_of('.') - name)}, {}};
}

} // namespace Desktop
