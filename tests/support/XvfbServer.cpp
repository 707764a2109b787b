#include "support/XvfbServer.h"

#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

XvfbServer::XvfbServer(const std::string& screen)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return;
    m_pid = fork();
    if (m_pid == 0) {
        close(pipeEnds[0]);
        // The server dies with the test, and keeps none of the test's output open: a test that fails
        // must not leave a server behind that holds the test runner waiting.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int devNull = open("/dev/null", O_RDWR);
        dup2(devNull, STDIN_FILENO);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        const std::string fd = std::to_string(pipeEnds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-noreset", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    // Xvfb writes its display number once it accepts clients.
    char buffer[32];
    std::string number;
    ssize_t got = 0;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
        number.append(buffer, static_cast<std::size_t>(got));
        if (number.find('\n') != std::string::npos)
            break;
    }
    close(pipeEnds[0]);
    const std::size_t end = number.find('\n');
    if (end != std::string::npos && end > 0)
        m_display = ":" + number.substr(0, end);
}

XvfbServer::~XvfbServer()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
}
