#include "Openbox.h"

#include <xcb/xcb.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

bool announced(const std::string& display)
{
    xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
    bool found = false;
    if (!xcb_connection_has_error(connection)) {
        const char name[] = "_NET_SUPPORTING_WM_CHECK";
        xcb_intern_atom_reply_t* atom =
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        xcb_get_property_reply_t* property =
            atom ? xcb_get_property_reply(
                       connection, xcb_get_property(connection, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr)
                 : nullptr;
        found = property && xcb_get_property_value_length(property) == 4;
        std::free(property);
        std::free(atom);
    }
    xcb_disconnect(connection);
    return found;
}

} // namespace

Openbox::Openbox(const std::string& display)
{
    // openbox takes its display from the environment only.
    std::vector<std::string> environment{"DISPLAY=" + display};
    for (char** variable = environ; *variable; ++variable) {
        if (std::strncmp(*variable, "DISPLAY=", 8) != 0)
            environment.emplace_back(*variable);
    }
    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    const pid_t parent = getpid();
    m_pid = fork();
    if (m_pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM); // never outlive the test
        if (getppid() != parent)
            _exit(1);
        const int devNull = open("/dev/null", O_RDWR);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        char* const argv[] = {const_cast<char*>("openbox"), const_cast<char*>("--sm-disable"), nullptr};
        execvpe("openbox", argv, envp.data());
        _exit(127);
    }
    for (int attempt = 0; m_pid > 0 && attempt < 200 && !m_running; ++attempt) {
        m_running = announced(display);
        if (!m_running)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

Openbox::~Openbox()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
}
