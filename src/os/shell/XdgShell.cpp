#include "os/shell/XdgShell.h"

#include "os/shell/ActivationToken.h"
#include "os/shell/DesktopExec.h"
#include "os/shell/DesktopFile.h"
#include "os/shell/DetachedProcess.h"
#include "os/shell/GraphicalSession.h"
#include "os/shell/XdgMimeApps.h"

#include <filesystem>

namespace Desktop {
namespace {

struct Command
{
    std::vector<std::string> commandLine;
    std::optional<std::string> windowClass; // the desktop entry's StartupWMClass
};

Command commandFor(const std::string& program, const std::string& argument)
{
    if (std::filesystem::path(program).extension() != ".desktop")
        return {{program, argument}, std::nullopt};
    const std::optional<DesktopFile> entry = DesktopFile::read(program);
    if (!entry)
        return {};
    return {execCommandLine(entry->stringValue("Desktop Entry", "Exec").value_or(""), argument),
            entry->stringValue("Desktop Entry", "StartupWMClass")};
}

// The file name of the program a command line runs, past an "env" that sets variables for it.
std::string programName(const std::vector<std::string>& commandLine)
{
    auto word = commandLine.begin();
    if (word != commandLine.end() && std::filesystem::path(*word).filename() == "env") {
        do
            ++word;
        while (word != commandLine.end() && (word->find('=') != std::string::npos || word->starts_with('-')));
    }
    return word == commandLine.end() ? std::string() : std::filesystem::path(*word).filename().string();
}

// The startup id handed to the program: the activation token where the compositor gave one.
std::string startupIdIn(const std::vector<std::string>& variables)
{
    const std::string name = "DESKTOP_STARTUP_ID=";
    for (const std::string& variable : variables) {
        if (variable.starts_with(name))
            return variable.substr(name.size());
    }
    return {};
}

} // namespace

std::string XdgShell::unavailableReason()
{
    const std::string x11 = x11DisplayUnavailableReason();
    if (x11.empty())
        return {};
    const std::string wayland = waylandDisplayUnavailableReason();
    if (wayland.empty())
        return {};
    return "there is no display to show the browser on (" + x11 + ", and " + wayland + ")";
}

std::optional<std::string> XdgShell::findExecutable(const std::string& documentPath)
{
    const std::string mimeType = mimeTypeOfFile(documentPath);
    if (mimeType.empty())
        return std::nullopt;
    const std::filesystem::path entry = defaultApplication(mimeType, XdgDirectories::fromEnvironment());
    if (entry.empty())
        return std::nullopt;
    return entry.string();
}

std::optional<StartedProgram> XdgShell::startMaximized(const std::string& program, const std::string& argument,
                                                       std::uintptr_t)
{
    const Command command = commandFor(program, argument);
    const std::vector<std::string> variables = activationVariables("quillock");
    const std::optional<pid_t> started = startDetached(command.commandLine, variables);
    if (!started)
        return std::nullopt;
    if (!m_maximizer)
        m_maximizer = makeWindowMaximizer();
    m_maximizer->maximizeWindowOf(*started);
    const std::string windowClass = command.windowClass.value_or(programName(command.commandLine));
    return StartedProgram{static_cast<std::uint64_t>(*started),
                          windowClass.empty() ? std::vector<std::string>{} : std::vector<std::string>{windowClass},
                          startupIdIn(variables)};
}

} // namespace Desktop
