#include "system/app/HandlerGuard.h"

#include "domain/error/AppError.h"
#include "platform/dialogs/Dialogs.h"

#include <exception>

namespace {

constexpr int UnexpectedFailure = 51; // "Internal error"

} // namespace

void IgnoreFailures(const std::function<void()>& work)
{
    if (!work)
        return;
    try {
        work();
    } catch (...) {
        // nothing the user could act on
    }
}

void ReportError(const AppError& error)
{
    dialogs().msgBox(QStringLiteral("Error No: %1 %2").arg(error.number()).arg(error.description()), Dialogs::vbOKOnly);
}

void RunHandler(const std::function<void()>& work, const std::function<void()>& cleanUp)
{
    try {
        work();
    } catch (const AppError& error) {
        IgnoreFailures(cleanUp);
        ReportError(error);
        return;
    } catch (const std::exception& error) {
        IgnoreFailures(cleanUp);
        ReportError(AppError(UnexpectedFailure, QString::fromLocal8Bit(error.what())));
        return;
    }
    IgnoreFailures(cleanUp);
}
