#include "platform/shell/DesktopShell.h"

#include "domain/error/AppError.h"
#include "os/shell/Shell.h"

#include <QWidget>

namespace DesktopShell {
namespace {

Desktop::Shell& shell()
{
    try {
        return Desktop::shell();
    } catch (const Desktop::ShellError& error) {
        throw AppError(ErrorNumber::CannotCreateObject, QString::fromStdString(error.what()));
    }
}

std::uintptr_t nativeHandle(QWidget* window)
{
    return window ? static_cast<std::uintptr_t>(window->window()->winId()) : 0;
}

} // namespace

QString findExecutable(const QString& documentPath)
{
    const std::optional<std::string> found = shell().findExecutable(documentPath.toUtf8().toStdString());
    return found ? QString::fromUtf8(*found) : QString();
}

std::optional<Desktop::StartedProgram> startMaximized(const QString& program, const QString& argument,
                                                      QWidget* ownerWindow)
{
    return shell().startMaximized(program.toUtf8().toStdString(), argument.toUtf8().toStdString(),
                                  nativeHandle(ownerWindow));
}

} // namespace DesktopShell
