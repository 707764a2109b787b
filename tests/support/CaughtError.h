#pragma once

#include "domain/error/AppError.h"

#include <optional>

// Runs the work and returns the AppError it raised, or nothing when it raised none.
template <typename Work>
std::optional<AppError> caughtError(Work&& work)
{
    try {
        work();
    } catch (const AppError& error) {
        return error;
    }
    return std::nullopt;
}
