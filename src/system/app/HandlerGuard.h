#pragma once

#include <functional>

class AppError;

// Shows a failure as "Error No: <number> <description>" in a message box titled Quillock.
void ReportError(const AppError& error);

// Runs work whose failure changes nothing for the user (closing a connection that is gone, one cell of a
// list that cannot be shown): any failure is ignored.
void IgnoreFailures(const std::function<void()>& work);

// Runs an event handler's work; a failure that reaches it is reported and the program goes on. The
// clean-up runs in every case, and its own failures are ignored.
void RunHandler(const std::function<void()>& work, const std::function<void()>& cleanUp = {});
