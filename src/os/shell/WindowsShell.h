#pragma once

#include "os/shell/Shell.h"

#include <string>

namespace Desktop {

// The Windows shell: the program that the association's "open" command starts, and ShellExecuteA to start it
// maximized with its argument quoted, so that the program reads exactly one argument.
class WindowsShell : public Shell
{
public:
    // Windows always has its shell: empty.
    static std::string unavailableReason() { return {}; }

    std::optional<std::string> findExecutable(const std::string& documentPath) override;
    // The program's file name without its extension stands for the class of its windows.
    std::optional<StartedProgram> startMaximized(const std::string& program, const std::string& argument,
                                                 std::uintptr_t ownerWindow) override;
};

} // namespace Desktop
