#include "os/WindowsText.h"
#include "os/files/RegularFile.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

// Stands in for the browser: writes what it was started with to the file named by QUILLOCK_RECORDING, as
//   <number of arguments>\n<show state, or -1>\n<each argument in UTF-8, followed by a zero byte>
// read back by the shell cases. The file appears whole (written beside it, then renamed over it).
int main()
{
    char recording[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("QUILLOCK_RECORDING", recording, sizeof recording);
    if (length == 0 || length >= sizeof recording)
        return 2;
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr)
        return 3;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : -1;

    std::string record = std::to_string(count - 1) + "\n" + std::to_string(show) + "\n";
    for (int i = 1; i < count; ++i)
        record += Os::utf8FromWide(arguments[i]) + '\0';
    LocalFree(arguments);
    try {
        Files::replaceRegularFile(recording, record, Files::NewFileAccess::OwnerOnly);
    } catch (const Files::FileError&) {
        return 4;
    }
    return 0;
}
