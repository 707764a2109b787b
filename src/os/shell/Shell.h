#pragma once

#include "os/Backends.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace Desktop {

// What the shell knows of a program it started, by which its windows can be told apart from others'.
struct StartedProgram
{
    // The process started; 0 where the shell cannot tell. A program that hands its work to a copy already running
    // (a browser opening the link in a new tab) ends at once, and the window is that other process's.
    std::uint64_t process = 0;
    // The names its windows may give as their program's (X11's WM_CLASS, Wayland's app id): from the desktop entry's
    // StartupWMClass, else its program's file name, and the entry's id. Empty where the shell does not know them.
    std::vector<std::string> windowClasses;
    // The startup id it was handed (DESKTOP_STARTUP_ID), which its first window may carry; empty when none.
    std::string startupId;
};

// The desktop's shell, as far as opening a web page needs it: which program opens a document, and
// starting a program. Strings are UTF-8 (on Windows too, where the shell uses the wide functions), paths as the
// system names files.
class Shell
{
public:
    virtual ~Shell() = default;

    // The program that opens the document by the desktop's file associations: on Windows the path of
    // its executable, on a freedesktop.org desktop the path of its desktop entry. Nothing when no
    // program is associated with documents of that kind.
    virtual std::optional<std::string> findExecutable(const std::string& documentPath) = 0;

    // Starts the program with one argument, its window maximized, and returns without waiting for it.
    // Nothing when the program could not be started. The owner window is the parent of any dialog the
    // shell itself shows.
    virtual std::optional<StartedProgram> startMaximized(const std::string& program, const std::string& argument,
                                                         std::uintptr_t ownerWindow) = 0;
};

// Why no shell can serve this session.
class ShellError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The shell in use: one installed by a test, otherwise the first of shellBackends() that can serve this session,
// made on first use. Throws ShellError, with each backend's reason, when none can.
Shell& shell();
// Installs another shell (a test's); null restores the program's own. The caller keeps ownership.
void setShell(Shell* replacement);
// Ends the program's own shell, when it has been made; the next use makes a new one.
void releasePlatformShell();

// The shells this build has, in the order they are tried.
Os::Backends<Shell> shellBackends();

} // namespace Desktop
