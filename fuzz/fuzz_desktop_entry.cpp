// A desktop entry read as the shell reads one, and its Exec line (the whole input is also tried as an Exec
// line of its own). Properties: the link reaches the command line whole, in one argument, with any blanks,
// quotes and field codes it holds taken as they are; an Exec line without quotes, escapes or field codes is
// split at blanks with the link added at the end.
#include "FuzzCheck.h"

#include "os/shell/DesktopExec.h"
#include "os/shell/DesktopFile.h"

#include <cstdint>

namespace {

using Desktop::DesktopFile;

const std::string Group = "Desktop Entry";
const std::string Links[] = {"https://example.com/login?user=a&next=%2F", "a \"b\" %u %% \\$c 'd'\n-e"};

std::vector<std::string> blankSeparated(const std::string& text)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : text + ' ') {
        if (c == ' ' || c == '\t' || c == '\n') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    return words;
}

void checkCommandLine(const std::string& exec)
{
    for (const std::string& link : Links) {
        const std::vector<std::string> command = Desktop::execCommandLine(exec, link);
        if (command.empty())
            continue;
        bool linkWhole = false;
        for (const std::string& argument : command)
            linkWhole = linkWhole || argument.find(link) != std::string::npos;
        fuzzCheck(linkWhole, "the link is one argument of the command line, whole");
        if (exec.find_first_of("\"\\%") == std::string::npos) {
            std::vector<std::string> expected = blankSeparated(exec);
            expected.push_back(link);
            fuzzCheck(command == expected, "a plain Exec line is split at blanks, the link added at the end");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const DesktopFile entry = DesktopFile::parse(text);
    // What the shell reads of an entry.
    (void)entry.value(Group, "Type");
    (void)entry.booleanValue(Group, "Hidden");
    (void)entry.stringValue(Group, "TryExec");
    for (const std::string& type : entry.listValue(Group, "MimeType"))
        fuzzCheck(!type.empty(), "a list holds no empty items");
    checkCommandLine(entry.stringValue(Group, "Exec").value_or(""));
    checkCommandLine(text);
    return 0;
}
