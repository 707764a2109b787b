#include "app/HandlerGuard.h"

#include "platform/dialogs/Dialogs.h"
#include "platform/error/AppError.h"

#include <exception>

namespace {

constexpr int UnexpectedFailure = 51; // "Internal error"

void runIgnoringFailures(const std::function<void()>& cleanUp)
{
    if (!cleanUp)
        return;
    try {
        cleanUp();
    } catch (...) {
        // a failing clean-up (closing a connection that is gone) changes nothing for the user
    }
}

} // namespace

void ReportError(const AppError& error)
{
    dialogs().msgBox(QStringLiteral("Error No: %1 %2").arg(error.number()).arg(error.description()), Dialogs::vbOKOnly);
}

void RunHandler(const std::function<void()>& work, const std::function<void()>& cleanUp)
{
    try {
        work();
    } catch (const AppError& error) {
        runIgnoringFailures(cleanUp);
        ReportError(error);
        return;
    } catch (const std::exception& error) {
        runIgnoringFailures(cleanUp);
        ReportError(AppError(UnexpectedFailure, QString::fromLocal8Bit(error.what())));
        return;
    }
    runIgnoringFailures(cleanUp);
}
