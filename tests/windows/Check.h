#pragma once

#include <cstdio>
#include <string>
#include <type_traits>
#include <vector>

// The Windows test's report: every check prints PASS or FAIL with its name, and the program fails when one failed.
namespace Check {

inline int& failures()
{
    static int count = 0;
    return count;
}

inline bool that(bool held, const std::string& name, const std::string& detail = {})
{
    std::printf("%s %s%s%s\n", held ? "PASS" : "FAIL", name.c_str(), detail.empty() ? "" : ": ", detail.c_str());
    std::fflush(stdout);
    if (!held)
        ++failures();
    return held;
}

inline void skip(const std::string& name, const std::string& reason)
{
    std::printf("SKIP %s: %s\n", name.c_str(), reason.c_str());
    std::fflush(stdout);
}

// The text with everything outside printable ASCII written as \x{...}, for messages.
template <class Text>
std::string visible(const Text& text)
{
    std::string shown;
    for (const auto unit : text) {
        const auto code = static_cast<unsigned long>(static_cast<std::make_unsigned_t<decltype(unit)>>(unit));
        if (code >= 0x20 && code < 0x7f) {
            shown += static_cast<char>(code);
        } else {
            char escaped[16];
            std::snprintf(escaped, sizeof escaped, "\\x{%lx}", code);
            shown += escaped;
        }
    }
    return "\"" + shown + "\"";
}

} // namespace Check

// The groups of cases of the Windows test, each reporting through Check.
// With altGrLayout, the layout must have "@" on AltGr, else that case is skipped.
void runKeySenderCases(bool altGrLayout);
// The program associated with ".htm" must be expectedProgram (the recording browser), its command giving it the
// association arguments before the link.
void runShellCases(const std::string& expectedProgram, const std::vector<std::string>& associationArguments);
void runRegularFileCases();
