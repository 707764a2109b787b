#pragma once

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace Desktop {

// Starts a program detached from this one: in a session of its own, with no parent to wait for it (so
// it never lingers as a zombie), none of this program's open files, and /dev/null for its standard streams.
// Returns as soon as the program is running, with its process id; nothing when it could not be started
// (not found, not executable). A program without a slash is searched for on PATH. The program gets this one's
// environment, with the variables given ("NAME=value") set in addition or instead.
std::optional<pid_t> startDetached(const std::vector<std::string>& commandLine,
                                   const std::vector<std::string>& variables = {});

} // namespace Desktop
