#pragma once

#include <QString>

class QWidget;

// Opens the link in the browser that the desktop associates with .htm files: the program that opens a
// scratch page test.htm in the program folder is looked up and started with the link as its one
// argument, maximized. Returns without waiting for the page. An empty link does nothing. A missing
// browser or a failed start is reported in a message box and the call returns normally. The owner
// window is the parent of the shell's own dialogs; it may be null.
void OpenWebPage(const QString& link, QWidget* ownerWindow);
