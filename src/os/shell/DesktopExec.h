#pragma once

#include <string>
#include <vector>

namespace Desktop {

// The command line of a desktop entry's Exec value (its string escapes already resolved) for opening one
// document or link. Arguments are separated by blanks; a double-quoted argument may hold blanks, and
// inside it \" \` \$ \\ stand for the character after the backslash. The field codes %u %U %f %F become
// the argument, as one argument of the command line; %% is a percent sign; every other field code is
// dropped, and an argument that held only such a code goes with it. When Exec names no place for the
// argument, it is added at the end. Empty when Exec holds no program or an unclosed quote.
std::vector<std::string> execCommandLine(const std::string& exec, const std::string& argument);

} // namespace Desktop
