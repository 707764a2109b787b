#include "Cases.h"
#include "Check.h"

#include <cstdio>
#include <string>

// Drives the Windows key sender, shell and file reader through their own interfaces, in a window of its own, with
// the recording browser associated with ".htm" by run-under-wine.sh.
//   windows_os_test <the recording browser's path as the association names it> [--altgr-layout]
// With --altgr-layout the keyboard layout must be one where "@" needs AltGr (German), and that case must run.
int main(int argc, char** argv)
{
    const bool altGrLayout = argc == 3 && std::string(argv[2]) == "--altgr-layout";
    if (argc != 2 && !altGrLayout) {
        std::fprintf(stderr, "usage: windows_os_test <expected program of .htm> [--altgr-layout]\n");
        return 2;
    }
    runRegularFileCases();
    runShellCases(argv[1]);
    runKeySenderCases(altGrLayout);
    std::printf("%d failed\n", Check::failures());
    return Check::failures() == 0 ? 0 : 1;
}
