#include "os/shell/DetachedProcess.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Desktop {
namespace {

// What the intermediate child reports through the pipe.
struct Report
{
    enum Kind : int
    {
        Started, // value: the program's process id
        Failed,  // value: errno of the failed step
    } kind;
    int value;
};

bool isExecutableFile(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The path to execute, resolved before forking: after fork only async-signal-safe calls are allowed.
std::string resolveProgram(const std::string& program)
{
    if (program.find('/') != std::string::npos)
        return isExecutableFile(program) ? program : std::string();
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "/usr/local/bin:/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + program;
        if (isExecutableFile(candidate))
            return candidate;
    }
    return {};
}

void report(int fd, Report::Kind kind, int value)
{
    const Report message{kind, value};
    [[maybe_unused]] const ssize_t written = write(fd, &message, sizeof message);
}

// The program's own process: a clean signal state and no inherited files. Its standard streams go to
// /dev/null: the program would otherwise hold this program's terminal or pipes for as long as it runs.
[[noreturn]] void execProgram(const char* path, char* const argv[], char* const envp[], int reportFd)
{
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction byDefault = {};
    byDefault.sa_handler = SIG_DFL;
    for (int signal : {SIGPIPE, SIGCHLD, SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &byDefault, nullptr);
    // Keep the report pipe clear of the standard streams about to be replaced.
    if (reportFd <= STDERR_FILENO)
        reportFd = fcntl(reportFd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    const int devNull = open("/dev/null", O_RDWR);
    if (devNull >= 0) {
        dup2(devNull, STDIN_FILENO);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
    }
    close_range(3, static_cast<unsigned>(reportFd) - 1, 0);
    close_range(static_cast<unsigned>(reportFd) + 1, ~0U, 0);
    execve(path, argv, envp);
    report(reportFd, Report::Failed, errno);
    _exit(127);
}

// The intermediate child: leaves this program's session and hands the program to init.
[[noreturn]] void startInNewSession(const char* path, char* const argv[], char* const envp[], int reportFd)
{
    setsid();
    const pid_t program = fork();
    if (program < 0) {
        report(reportFd, Report::Failed, errno);
        _exit(1);
    }
    if (program == 0)
        execProgram(path, argv, envp, reportFd);
    report(reportFd, Report::Started, program);
    _exit(0);
}

// Reads the reports until the pipe closes: that happens when the program has replaced itself (the pipe
// closes on exec) or failed.
std::optional<pid_t> readReports(int fd)
{
    std::optional<pid_t> started;
    Report message{};
    ssize_t got = 0;
    while ((got = read(fd, &message, sizeof message)) == sizeof message || (got < 0 && errno == EINTR)) {
        if (got < 0)
            continue;
        if (message.kind == Report::Failed)
            return std::nullopt;
        started = message.value;
    }
    return started;
}

// This program's environment with the variables set: built before forking, like the path.
std::vector<std::string> environmentWith(const std::vector<std::string>& variables)
{
    const auto nameOf = [](const std::string& variable) { return variable.substr(0, variable.find('=') + 1); };
    std::vector<std::string> environment;
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string inherited = *entry;
        const bool replaced = std::any_of(variables.begin(), variables.end(), [&](const std::string& variable) {
            return nameOf(variable) == nameOf(inherited);
        });
        if (!replaced)
            environment.push_back(inherited);
    }
    environment.insert(environment.end(), variables.begin(), variables.end());
    return environment;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (std::string& text : strings)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

std::optional<pid_t> startDetached(const std::vector<std::string>& commandLine,
                                   const std::vector<std::string>& variables)
{
    if (commandLine.empty())
        return std::nullopt;
    const std::string path = resolveProgram(commandLine.front());
    if (path.empty())
        return std::nullopt;
    std::vector<std::string> arguments = commandLine;
    const std::vector<char*> argv = pointersTo(arguments);
    std::vector<std::string> environment = environmentWith(variables);
    const std::vector<char*> envp = pointersTo(environment);

    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return std::nullopt;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        startInNewSession(path.c_str(), argv.data(), envp.data(), pipeEnds[1]);
    }
    close(pipeEnds[1]);
    std::optional<pid_t> started;
    if (child > 0) {
        started = readReports(pipeEnds[0]);
        waitpid(child, nullptr, 0);
    }
    close(pipeEnds[0]);
    return started;
}

} // namespace Desktop
