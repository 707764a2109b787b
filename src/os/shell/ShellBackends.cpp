#include "os/shell/Shell.h"

#ifdef _WIN32
#include "os/shell/WindowsShell.h"
#else
#include "os/shell/XdgShell.h"
#endif

namespace Desktop {
namespace {

Os::ActiveFacility<Shell, ShellError>& active()
{
    static Os::ActiveFacility<Shell, ShellError> facility(shellBackends,
                                                          "Quillock cannot open web pages in this session");
    return facility;
}

} // namespace

Os::Backends<Shell> shellBackends()
{
    return {
#ifdef _WIN32
        Os::backend<Shell, WindowsShell>("Windows"),
#else
        Os::backend<Shell, XdgShell>("XDG (freedesktop.org)"),
#endif
    };
}

Shell& shell()
{
    return active().get();
}

void setShell(Shell* replacement)
{
    active().replace(replacement);
}

void releasePlatformShell()
{
    active().release();
}

} // namespace Desktop
