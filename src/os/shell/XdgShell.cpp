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

std::vector<std::string> commandLineFor(const std::string& program, const std::string& argument)
{
    if (std::filesystem::path(program).extension() != ".desktop")
        return {program, argument};
    const std::optional<DesktopFile> entry = DesktopFile::read(program);
    if (!entry)
        return {};
    return execCommandLine(entry->stringValue("Desktop Entry", "Exec").value_or(""), argument);
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

bool XdgShell::startMaximized(const std::string& program, const std::string& argument, std::uintptr_t)
{
    const std::optional<pid_t> started =
        startDetached(commandLineFor(program, argument), activationVariables("quillock"));
    if (!started)
        return false;
    if (!m_maximizer)
        m_maximizer = makeWindowMaximizer();
    m_maximizer->maximizeWindowOf(*started);
    return true;
}

} // namespace Desktop
