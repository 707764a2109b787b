#include "system/launch/BrowserWindows.h"

#include "os/shell/ProcessTree.h"
#include "platform/app/Application.h"

#include <QApplication>
#include <QString>
#include <algorithm>

namespace {

bool sameName(const std::string& a, const std::string& b)
{
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

bool namesAny(const std::vector<std::string>& names, const std::vector<std::string>& wanted)
{
    return std::ranges::any_of(names, [&wanted](const std::string& name) {
        return std::ranges::any_of(wanted, [&name](const std::string& other) { return sameName(name, other); });
    });
}

} // namespace

bool belongsToBrowser(const Desktop::StartedProgram& browser, const Focus::WindowProgram& window)
{
    if (!browser.startupId.empty() && window.startupId == browser.startupId)
        return true;
    if (browser.process != 0 && window.process != 0 && Desktop::isSameOrDescendant(window.process, browser.process))
        return true;
    return namesAny(window.classNames, browser.windowClasses);
}

bool isQuillockWindow(const Focus::WindowProgram& window)
{
    const auto thisProcess = static_cast<std::uint64_t>(QCoreApplication::applicationPid());
    const QStringList quillockNames{Application::title(), Application::desktopEntryId(),
                                    Application::utilityDesktopEntryId()};
    return window.process == thisProcess || std::ranges::any_of(window.classNames, [&](const std::string& name) {
               return quillockNames.contains(QString::fromStdString(name));
           });
}

bool programWindowIsActive()
{
    return QApplication::activeWindow() != nullptr;
}
