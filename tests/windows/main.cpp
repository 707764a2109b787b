#include "Cases.h"
#include "Check.h"

#include <cstdio>

// Drives the Windows key sender, shell and file reader through their own interfaces, in a window of its own, with
// the recording browser associated with ".htm" by run-under-wine.sh.
//   windows_os_test <the recording browser's path as the association names it>
int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: windows_os_test <expected program of .htm>\n");
        return 2;
    }
    runRegularFileCases();
    runShellCases(argv[1]);
    runKeySenderCases();
    std::printf("%d failed\n", Check::failures());
    return Check::failures() == 0 ? 0 : 1;
}
