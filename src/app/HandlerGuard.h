#pragma once

#include <functional>

class AppError;

// Shows a failure as "Error No: <number> <description>" in a message box titled Quillock.
void ReportError(const AppError& error);

// Runs an event handler's work; a failure that reaches it is reported and the program goes on. The
// clean-up runs in every case, and its own failures are ignored.
void RunHandler(const std::function<void()>& work, const std::function<void()>& cleanUp = {});
