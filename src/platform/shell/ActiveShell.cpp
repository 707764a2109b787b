#include "platform/shell/Shell.h"

namespace Desktop {
namespace {

Shell* replacementShell = nullptr;

} // namespace

Shell& shell()
{
    if (replacementShell)
        return *replacementShell;
    static const std::unique_ptr<Shell> platformShell = createPlatformShell();
    return *platformShell;
}

void setShell(Shell* replacement)
{
    replacementShell = replacement;
}

} // namespace Desktop
