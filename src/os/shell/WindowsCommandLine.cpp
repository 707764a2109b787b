#include "os/shell/WindowsCommandLine.h"

#include <vector>

namespace Desktop {
namespace {

bool isBlank(char character)
{
    return character == ' ' || character == '\t';
}

// Whether the last part of the path has an extension ("b.exe", not "C:\Program Files\b").
bool hasExtension(const std::string& path)
{
    const std::size_t dot = path.find_last_of('.');
    return dot != std::string::npos && path.find_first_of("\\/", dot) == std::string::npos;
}

std::optional<std::string> existingProgram(const std::string& name,
                                           const std::function<bool(const std::string&)>& isFile)
{
    if (name.empty())
        return std::nullopt;
    if (isFile(name))
        return name;
    if (!hasExtension(name) && isFile(name + ".exe"))
        return name + ".exe";
    return std::nullopt;
}

} // namespace

std::string quoteCommandLineArgument(const std::string& argument)
{
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char character : argument) {
        if (character == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count as themselves unless a double quote follows them.
        quoted.append(character == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += character;
    }
    quoted.append(2 * backslashes, '\\');
    quoted += '"';
    return quoted;
}

std::optional<std::string> programOfCommandLine(const std::string& commandLine,
                                                const std::function<bool(const std::string&)>& isFile)
{
    std::size_t start = 0;
    while (start < commandLine.size() && isBlank(commandLine[start]))
        ++start;
    if (start < commandLine.size() && commandLine[start] == '"') {
        const std::size_t end = commandLine.find('"', start + 1);
        if (end == std::string::npos)
            return std::nullopt;
        return existingProgram(commandLine.substr(start + 1, end - start - 1), isFile);
    }
    // Every place where a run of words ends, longest first: a file named like a shorter run ("C:\Program.exe")
    // does not take the place of the program.
    std::vector<std::size_t> wordEnds;
    for (std::size_t i = start; i < commandLine.size(); ++i) {
        if (isBlank(commandLine[i]) && i > start && !isBlank(commandLine[i - 1]))
            wordEnds.push_back(i);
    }
    wordEnds.push_back(commandLine.size());
    for (auto end = wordEnds.rbegin(); end != wordEnds.rend(); ++end) {
        if (auto program = existingProgram(commandLine.substr(start, *end - start), isFile))
            return program;
    }
    return std::nullopt;
}

} // namespace Desktop
