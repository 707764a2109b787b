#pragma once

#include "os/focus/WindowFocus.h"

#include <map>

namespace Focus {

// The test backend: reports the focus the test sets, and installs itself for its lifetime. By default it cannot
// tell, as in a session without a display.
class ScriptedWindowFocus : public WindowFocus
{
public:
    ScriptedWindowFocus() { setWindowFocus(this); }
    ~ScriptedWindowFocus() override { setWindowFocus(nullptr); }
    ScriptedWindowFocus(const ScriptedWindowFocus&) = delete;
    ScriptedWindowFocus& operator=(const ScriptedWindowFocus&) = delete;

    bool canTell() const override { return tells; }
    std::optional<WindowId> focusedWindow() override { return focused; }
    WindowProgram programOf(WindowId window) override
    {
        const auto program = programs.find(window);
        return program == programs.end() ? WindowProgram{} : program->second;
    }
    bool exists(WindowId window) override { return programs.contains(window); }

    bool tells = false;
    std::optional<WindowId> focused;
    std::map<WindowId, WindowProgram> programs; // what each open window tells; the others are closed
};

} // namespace Focus
