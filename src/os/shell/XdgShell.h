#pragma once

#include "os/shell/Shell.h"
#include "os/shell/WindowMaximizer.h"

#include <memory>
#include <string>

namespace Desktop {

// The shell of a freedesktop.org desktop (Linux and other Unix systems). The program that opens a
// document is the default application for its MIME type, found through the mimeapps.list files and
// desktop entries of the XDG directories, and named by its desktop entry. Starting it runs the entry's
// Exec command with the argument in place of its field code, detached, and has the window maximizer that
// serves the session (made at the first start) maximize its window. Its windows' class is the entry's
// StartupWMClass, else the file name of the program that Exec runs (past an "env" that sets variables); or the
// entry's id (its file name without ".desktop"), which Wayland windows give as their app id.
class XdgShell : public Shell
{
public:
    // Empty when the session has a display to show the browser on, X11 or Wayland, else why not.
    static std::string unavailableReason();

    std::optional<std::string> findExecutable(const std::string& documentPath) override;
    // The program is a desktop entry (a path ending in .desktop) or an executable file.
    std::optional<StartedProgram> startMaximized(const std::string& program, const std::string& argument,
                                                 std::uintptr_t ownerWindow) override;

private:
    std::unique_ptr<WindowMaximizer> m_maximizer;
};

} // namespace Desktop
