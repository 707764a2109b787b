#include "support/SwayServer.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// No bar (none is configured), no XWayland, windows without borders so that a window is its own contents.
constexpr const char* Config = "xwayland disable\n"
                               "default_border none\n"
                               "default_floating_border none\n"
                               "focus_follows_mouse no\n";

constexpr auto SocketTimeout = std::chrono::seconds(10);

// The user sway runs as when the test is root, who may run sway only as someone else.
struct Account
{
    uid_t uid;
    gid_t gid;
};

Account unprivilegedAccount()
{
    if (geteuid() != 0)
        return {geteuid(), getegid()};
    const passwd* nobody = getpwnam("nobody");
    return nobody ? Account{nobody->pw_uid, nobody->pw_gid} : Account{65534, 65534};
}

} // namespace

bool SwayServer::isInstalled()
{
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        const std::string candidate = folders.substr(start, end - start) + "/sway";
        if (end > start && access(candidate.c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

SwayServer::SwayServer()
{
    char folder[] = "/tmp/quillock-sway-XXXXXX"; // made with mode 0700
    if (!mkdtemp(folder))
        return;
    m_folder = folder;
    start();
    if (m_pid > 0)
        waitForSocket();
}

SwayServer::~SwayServer()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
}

void SwayServer::start()
{
    const std::string config = m_folder + "/sway.config";
    std::ofstream(config) << Config;
    const Account account = unprivilegedAccount();
    if (chown(m_folder.c_str(), account.uid, account.gid) != 0 || chmod(config.c_str(), 0644) != 0)
        return;
    m_pid = fork();
    if (m_pid != 0)
        return;
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(account.gid) != 0 || setuid(account.uid) != 0))
        _exit(126);
    // After the change of user, which clears it: sway dies with the test, so that a failed test leaves none behind.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    const int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, STDIN_FILENO);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    // Nothing of the test's own session: no display to nest in, no configuration of the user's.
    for (const char* name : {"WAYLAND_DISPLAY", "DISPLAY", "SWAYSOCK", "I3SOCK", "XDG_CONFIG_HOME"})
        unsetenv(name);
    setenv("XDG_RUNTIME_DIR", m_folder.c_str(), 1);
    setenv("HOME", m_folder.c_str(), 1);
    setenv("WLR_BACKENDS", "headless", 1);
    setenv("WLR_LIBINPUT_NO_DEVICES", "1", 1);
    setenv("WLR_RENDERER", "pixman", 1);
    execlp("sway", "sway", "--config", config.c_str(), static_cast<char*>(nullptr));
    _exit(127);
}

// sway makes its socket (wayland-N, N of its choosing) in the runtime folder once it takes clients.
void SwayServer::waitForSocket()
{
    const auto deadline = std::chrono::steady_clock::now() + SocketTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(m_folder, error)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("wayland-", 0) == 0 && name.find('.') == std::string::npos && entry.is_socket(error)) {
                m_socket = entry.path().string();
                return;
            }
        }
        if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) { // sway gave up
            m_pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string SwayServer::ipcSocket() const
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("sway-ipc.", 0) == 0 && entry.is_socket(error))
            return entry.path().string();
    }
    return {};
}
