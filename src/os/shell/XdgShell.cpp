#include "os/shell/XdgShell.h"

#include "os/shell/DesktopExec.h"
#include "os/shell/DesktopFile.h"
#include "os/shell/DetachedProcess.h"
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
    const std::optional<pid_t> started = startDetached(commandLineFor(program, argument));
    if (!started)
        return false;
    m_maximizer.maximizeWindowOf(*started);
    return true;
}

std::unique_ptr<Shell> createPlatformShell()
{
    return std::make_unique<XdgShell>();
}

} // namespace Desktop
