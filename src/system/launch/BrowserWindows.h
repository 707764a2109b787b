#pragma once

#include "os/focus/WindowFocus.h"
#include "os/shell/Shell.h"

// Which windows a launch may type into and which are Quillock's, from what a window tells of its program.

// Whether the window belongs to the browser the launch started. In this order: it carries the startup id the
// browser was handed; it names the started process or one of its descendants; it gives the name of the browser's
// program (the desktop entry's StartupWMClass, else its program's file name, or the entry's id) as its instance,
// class or app id, in any case (a browser that hands the link to a copy already running shows the page in a window
// of that other process).
bool belongsToBrowser(const Desktop::StartedProgram& browser, const Focus::WindowProgram& window);

// Whether the window is one of Quillock's, of this process or of another Quillock (the class that every window of
// a program named Quillock gives on X11, the app id of the program's or the utility's desktop entry on Wayland):
// keys sent there would act in Quillock.
bool isQuillockWindow(const Focus::WindowProgram& window);

// Whether one of this program's own windows is the active one, as Qt hears it: a key sent now would act there (Enter
// or Delete in a list).
bool programWindowIsActive();
