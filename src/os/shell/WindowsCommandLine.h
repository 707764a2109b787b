#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Windows hands a program its arguments as one command line, which the program splits itself (CommandLineToArgvW
// and the C runtime read it by the same rules). Plain C++, so that the rules can be checked anywhere.
namespace Desktop {

// The argument written so that a program splitting its command line reads it back as exactly one argument, byte
// for byte: always in double quotes, with a double quote inside escaped by a backslash and the backslashes before
// a double quote (the closing one included) doubled. Blanks, "%", "^", "&" and a leading "-" stay inside it.
std::string quoteCommandLineArgument(const std::string& argument);

// A command line taken apart: the program it starts, and its arguments as the program reads them.
struct CommandLine
{
    std::string program;
    std::vector<std::string> arguments;
};

// An association's "open" command read as CreateProcess reads it: the program is the quoted first word, or for an
// unquoted path with blanks, the longest run of leading words that names an existing file (with ".exe" added when
// the name has no extension), so that "C:\Program Files\B\b.exe %1" starts "C:\Program Files\B\b.exe" and not
// "C:\Program"; the rest is split into arguments by the rules above. Nothing when no such file exists.
std::optional<CommandLine> readCommandLine(const std::string& commandLine,
                                           const std::function<bool(const std::string&)>& isFile);

// The arguments of an association's command with the document in place of "%1" and "%L" (which stand for it,
// wherever they are in an argument), written as one command line; the document is added as the last argument when
// neither is there. The document stays one argument, whatever it holds; "%*" and the other placeholders stand for
// nothing.
std::string argumentsWithDocument(const std::vector<std::string>& arguments, const std::string& document);

} // namespace Desktop
