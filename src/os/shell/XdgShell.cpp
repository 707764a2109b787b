#include "os/shell/XdgShell.h"

#include "os/shell/ActivationToken.h"
#include "os/shell/DesktopExec.h"
#include "os/shell/DesktopFile.h"
#include "os/shell/DetachedProcess.h"
#include "os/shell/GraphicalSession.h"
#include "os/shell/XdgMimeApps.h"

#include <algorithm>
#include <filesystem>

namespace Desktop {
namespace {

struct Command
{
    std::vector<std::string> commandLine;
    std::optional<std::string> windowClass; // the desktop entry's StartupWMClass
    std::string entryId;                    // the desktop entry's file name without ".desktop"
};

Command commandFor(const std::string& program, const std::string& argument)
{
    const std::filesystem::path path(program);
    if (path.extension() != ".desktop")
        return {{program, argument}, std::nullopt, {}};
    const std::optional<DesktopFile> entry = DesktopFile::read(program);
    if (!entry)
        return {};
    return {execCommandLine(entry->stringValue("Desktop Entry", "Exec").value_or(""), argument),
            entry->stringValue("Desktop Entry", "StartupWMClass"), path.stem().string()};
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

// The names the program's windows may give: the class its entry names, else its program's file name; and on
// Wayland, where a window gives the id of its program's desktop entry, that id.
std::vector<std::string> windowClassesOf(const Command& command)
{
    std::vector<std::string> names;
    for (const std::string& name : {command.windowClass.value_or(programName(command.commandLine)), command.entryId})
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    return names;
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
    return StartedProgram{static_cast<std::uint64_t>(*started), windowClassesOf(command), startupIdIn(variables)};
}

} // namespace Desktop
