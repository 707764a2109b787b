#include "os/shell/WindowsShell.h"

#include <windows.h>

#include <shellapi.h>

namespace Desktop {
namespace {

// The shell functions return a value above 32 on success and an error code up to 32 otherwise.
bool succeeded(HINSTANCE result)
{
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace

std::optional<std::string> WindowsShell::findExecutable(const std::string& documentPath)
{
    char program[MAX_PATH] = {};
    if (!succeeded(FindExecutableA(documentPath.c_str(), nullptr, program)))
        return std::nullopt;
    return std::string(program);
}

bool WindowsShell::startMaximized(const std::string& program, const std::string& argument, std::uintptr_t ownerWindow)
{
    return succeeded(ShellExecuteA(reinterpret_cast<HWND>(ownerWindow), "open", program.c_str(), argument.c_str(),
                                   nullptr, SW_SHOWMAXIMIZED));
}

} // namespace Desktop
