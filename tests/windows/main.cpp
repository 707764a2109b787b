#include "Check.h"

#include "os/WindowsText.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

// Drives the Windows key sender, shell and file reader through their own interfaces, in a window of its own, with
// the recording browser associated with ".htm" by run-under-wine.sh. Its arguments come as UTF-8 from the wide
// command line, as the ANSI code page may lack the characters of the program's path.
//   windows_os_test <the recording browser's path as the association names it> [--altgr-layout]
//                   [--arguments <the association's arguments before the link>...]
// With --altgr-layout the keyboard layout must be one where "@" needs AltGr (German), and that case must run.
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(Os::utf8FromWide(argv[i]));
    const bool altGrLayout = arguments.size() > 1 && arguments[1] == "--altgr-layout";
    const std::size_t listed = altGrLayout ? 2 : 1; // where "--arguments" may stand
    if (arguments.empty() || (arguments.size() > listed && arguments[listed] != "--arguments")) {
        std::fprintf(stderr, "usage: windows_os_test <expected program of .htm> [--altgr-layout] "
                             "[--arguments <association arguments>...]\n");
        return 2;
    }
    runRegularFileCases();
    const auto associationArguments = arguments.begin() + static_cast<long>(std::min(arguments.size(), listed + 1));
    runShellCases(arguments[0], {associationArguments, arguments.end()});
    runKeySenderCases(altGrLayout);
    std::printf("%d failed\n", Check::failures());
    return Check::failures() == 0 ? 0 : 1;
}
