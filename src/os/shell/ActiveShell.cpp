#include "os/shell/Shell.h"

namespace Desktop {
namespace {

Shell* replacementShell = nullptr;

std::unique_ptr<Shell>& platformShell()
{
    static std::unique_ptr<Shell> platform;
    return platform;
}

} // namespace

Shell& shell()
{
    if (replacementShell)
        return *replacementShell;
    if (!platformShell())
        platformShell() = createPlatformShell();
    return *platformShell();
}

void releasePlatformShell()
{
    platformShell().reset();
}

void setShell(Shell* replacement)
{
    replacementShell = replacement;
}

} // namespace Desktop
