#include "Cases.h"
#include "Check.h"

#include "os/WindowsText.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The arguments in UTF-8, read from the wide command line: main's own are in the ANSI code page, which may lack
// the characters of the program's path.
std::vector<std::string> utf8Arguments()
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> read;
    for (int i = 1; i < count; ++i)
        read.push_back(Os::utf8FromWide(arguments[i]));
    LocalFree(arguments);
    return read;
}

} // namespace

// Drives the Windows key sender, shell and file reader through their own interfaces, in a window of its own, with
// the recording browser associated with ".htm" by run-under-wine.sh.
//   windows_os_test <the recording browser's path as the association names it> [--altgr-layout]
//                   [--arguments <the association's arguments before the link>...]
// With --altgr-layout the keyboard layout must be one where "@" needs AltGr (German), and that case must run.
int main()
{
    std::vector<std::string> arguments = utf8Arguments();
    const bool altGrLayout = arguments.size() > 1 && arguments[1] == "--altgr-layout";
    const auto listed = arguments.begin() + (altGrLayout ? 2 : 1);
    if (arguments.empty() || (listed < arguments.end() && *listed != "--arguments")) {
        std::fprintf(stderr, "usage: windows_os_test <expected program of .htm> [--altgr-layout] "
                             "[--arguments <association arguments>...]\n");
        return 2;
    }
    const std::vector<std::string> associationArguments(listed == arguments.end() ? listed : listed + 1,
                                                        arguments.end());
    runRegularFileCases();
    runShellCases(arguments[0], associationArguments);
    runKeySenderCases(altGrLayout);
    std::printf("%d failed\n", Check::failures());
    return Check::failures() == 0 ? 0 : 1;
}
