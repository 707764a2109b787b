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

namespace {

// The arguments of a command line after its program, as a program splitting its command line reads them:
// blanks outside quotes separate them; 2n backslashes before a double quote are n backslashes and the quote opens
// or closes a quoted part, 2n + 1 are n and a literal quote; two quotes inside a quoted part are one literal quote.
std::vector<std::string> splitArguments(const std::string& text)
{
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isBlank(text[i]) && !quoted) {
            if (inArgument)
                arguments.push_back(current);
            current.clear();
            inArgument = false;
            continue;
        }
        inArgument = true;
        std::size_t backslashes = 0;
        while (i < text.size() && text[i] == '\\') {
            ++backslashes;
            ++i;
        }
        if (i == text.size() || text[i] != '"') {
            current.append(backslashes, '\\');
            if (i < text.size())
                current += text[i];
            continue;
        }
        current.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1)
            current += '"';
        else if (quoted && i + 1 < text.size() && text[i + 1] == '"')
            current += text[++i];
        else
            quoted = !quoted;
    }
    if (inArgument)
        arguments.push_back(current);
    return arguments;
}

// Where the program's name ends in the command line and what it names, or nothing when it names no file.
std::optional<std::pair<std::string, std::size_t>> programOf(const std::string& commandLine,
                                                             const std::function<bool(const std::string&)>& isFile)
{
    std::size_t start = 0;
    while (start < commandLine.size() && isBlank(commandLine[start]))
        ++start;
    if (start < commandLine.size() && commandLine[start] == '"') {
        const std::size_t end = commandLine.find('"', start + 1);
        if (end == std::string::npos)
            return std::nullopt;
        if (auto program = existingProgram(commandLine.substr(start + 1, end - start - 1), isFile))
            return std::pair{*program, end + 1};
        return std::nullopt;
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
            return std::pair{*program, *end};
    }
    return std::nullopt;
}

} // namespace

std::optional<CommandLine> readCommandLine(const std::string& commandLine,
                                           const std::function<bool(const std::string&)>& isFile)
{
    const auto program = programOf(commandLine, isFile);
    if (!program)
        return std::nullopt;
    return CommandLine{program->first, splitArguments(commandLine.substr(program->second))};
}

std::string argumentsWithDocument(const std::vector<std::string>& arguments, const std::string& document)
{
    // Placeholders are looked for in the association's own text only, never in the document put in their place. An
    // argument that was placeholders for nothing alone ("%*") is none.
    std::vector<std::string> filled;
    bool placed = false;
    for (const std::string& argument : arguments) {
        std::string text;
        bool stoodForNothing = false;
        for (std::size_t i = 0; i < argument.size(); ++i) {
            const char next = i + 1 < argument.size() ? argument[i + 1] : '\0';
            const bool forDocument = next == '1' || next == 'L' || next == 'l';
            const bool forNothing = next == '*' || (next >= '2' && next <= '9');
            if (argument[i] != '%' || !(forDocument || forNothing)) {
                text += argument[i];
                continue;
            }
            text += forDocument ? document : std::string();
            placed = placed || forDocument;
            stoodForNothing = stoodForNothing || forNothing;
            ++i;
        }
        if (!text.empty() || !stoodForNothing)
            filled.push_back(text);
    }
    if (!placed)
        filled.push_back(document);
    std::string line;
    for (const std::string& argument : filled)
        line += (line.empty() ? "" : " ") + quoteCommandLineArgument(argument);
    return line;
}

} // namespace Desktop
