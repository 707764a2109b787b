#pragma once

#include "os/shell/Shell.h"
#include "os/shell/WindowsCommandLine.h"

#include <optional>
#include <string>

namespace Desktop {

// The Windows shell: the program that the association's "open" command starts, and ShellExecuteW to start it
// maximized with the association's own arguments, the link in the place of "%1" (or last), quoted so that the
// program reads it as exactly one argument. Paths and links go through the wide functions, so that a character
// outside the ANSI code page (an international domain, a Cyrillic path) arrives as itself.
class WindowsShell : public Shell
{
public:
    // Windows always has its shell: empty.
    static std::string unavailableReason() { return {}; }

    std::optional<std::string> findExecutable(const std::string& documentPath) override;
    // Starts the program with the arguments of the association last found when it is that association's program;
    // any other program gets the argument alone. The program's file name without its extension stands for the
    // class of its windows.
    std::optional<StartedProgram> startMaximized(const std::string& program, const std::string& argument,
                                                 std::uintptr_t ownerWindow) override;

private:
    std::optional<CommandLine> m_association;
};

} // namespace Desktop
