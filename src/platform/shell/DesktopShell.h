#pragma once

#include "os/shell/Shell.h"

#include <QString>
#include <optional>

class QWidget;

// The desktop's shell for the program: which program opens a document, and starting a program. Paths and the
// argument go to the system as UTF-8 (see Desktop::Shell). Each call raises AppError when no shell can serve this
// session.
namespace DesktopShell {

// The program that opens the document by the desktop's file associations (see Desktop::Shell); empty when none.
QString findExecutable(const QString& documentPath);

// Starts the program with one argument, its window maximized, without waiting for it, and says what was started
// (see Desktop::StartedProgram). Nothing when it could not be started. The owner window (null for none) is the
// parent of any dialog the shell itself shows.
std::optional<Desktop::StartedProgram> startMaximized(const QString& program, const QString& argument,
                                                      QWidget* ownerWindow);

} // namespace DesktopShell
