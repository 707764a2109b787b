#include <windows.h>

#include <shellapi.h>

#include <string>

// Stands in for the browser: writes what it was started with to the file named by QUILLOCK_RECORDING, as
//   <number of arguments>\n<show state, or -1>\n<each argument in UTF-8, followed by a zero byte>
// read back by the shell cases. The file appears whole (written beside it, then renamed).
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
    for (int i = 1; i < count; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, arguments[i], -1, nullptr, 0, nullptr, nullptr);
        std::string bytes(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
        WideCharToMultiByte(CP_UTF8, 0, arguments[i], -1, bytes.data(), size, nullptr, nullptr);
        record += bytes; // with its zero byte
    }
    LocalFree(arguments);

    const std::string partial = std::string(recording) + ".part";
    const HANDLE file =
        CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 4;
    DWORD written = 0;
    const bool whole = WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr) &&
                       written == record.size();
    CloseHandle(file);
    return whole && MoveFileExA(partial.c_str(), recording, 0) ? 0 : 5;
}
