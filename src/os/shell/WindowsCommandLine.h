#pragma once

#include <functional>
#include <optional>
#include <string>

// Windows hands a program its arguments as one command line, which the program splits itself (CommandLineToArgvW
// and the C runtime read it by the same rules). Plain C++, so that the rules can be checked anywhere.
namespace Desktop {

// The argument written so that a program splitting its command line reads it back as exactly one argument, byte
// for byte: always in double quotes, with a double quote inside escaped by a backslash and the backslashes before
// a double quote (the closing one included) doubled. Blanks, "%", "^", "&" and a leading "-" stay inside it.
std::string quoteCommandLineArgument(const std::string& argument);

// The program that a command line (an association's "open" command) starts, as CreateProcess finds it: the quoted
// first word, or for an unquoted path with blanks, the longest run of leading words that names an existing file
// (with ".exe" added when the name has no extension), so that "C:\Program Files\B\b.exe %1" starts
// "C:\Program Files\B\b.exe" and not "C:\Program". Nothing when no such file exists.
std::optional<std::string> programOfCommandLine(const std::string& commandLine,
                                                const std::function<bool(const std::string&)>& isFile);

} // namespace Desktop
