#pragma once

#include "os/Backends.h"

#include <memory>
#include <sys/types.h>

namespace Desktop {

// Maximizes the window of a program that was just started, as far as the session lets one program do that to
// another's window. The program's window appears some time after the start, so the caller never waits for it.
class WindowMaximizer
{
public:
    virtual ~WindowMaximizer() = default;

    // Sees to the first top-level window shown by the process or one of its children, and returns at once.
    virtual void maximizeWindowOf(pid_t process) = 0;
};

// The first of windowMaximizerBackends() that can serve this session, made for the caller to own. Never fails:
// the last backend serves every session.
std::unique_ptr<WindowMaximizer> makeWindowMaximizer();

// The window maximizers this build has, in the order they are tried.
Os::Backends<WindowMaximizer> windowMaximizerBackends();

} // namespace Desktop
