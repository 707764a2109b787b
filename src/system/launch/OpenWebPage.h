#pragma once

#include "os/shell/Shell.h"

#include <QString>

class QWidget;

// Opens the link in the browser that the desktop associates with .htm files: the program that opens a
// scratch page test.htm in the program folder is looked up and started with the link as its one
// argument, maximized. Returns without waiting for the page. The scratch page is written when it can be
// and deleted again; whatever else stands at its name is left alone.
//
// Returns false when the page could not be opened, after saying so in a message box: no browser found, a
// failed start, or a link that begins with "-" (after blanks), which a browser would take for an option
// and which reaches no program. An empty link opens nothing, says nothing and returns true. The owner
// window is the parent of the shell's own dialogs; it may be null. When the page opens and started is given, it
// receives what the shell says of the browser it started, by which a launch knows the browser's windows. Raises
// AppError when this session has no shell to open pages with.
bool OpenWebPage(const QString& link, QWidget* ownerWindow, Desktop::StartedProgram* started = nullptr);
