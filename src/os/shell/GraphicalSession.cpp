#include "os/shell/GraphicalSession.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#ifdef QUILLOCK_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace Desktop {
namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// A non-blocking connection attempt: a compositor whose queue of new clients is full is there all the same.
bool acceptsConnection(const std::string& socketPath)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket < 0)
        return false;
    const bool accepted =
        ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 || errno == EAGAIN;
    ::close(socket);
    return accepted;
}

} // namespace

std::string x11DisplayUnavailableReason()
{
    const std::string name = environment("DISPLAY");
    if (name.empty())
        return "DISPLAY is not set";
#ifdef QUILLOCK_HAVE_XCB
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool connected = !xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    if (!connected)
        return "the X display \"" + name + "\" cannot be opened";
#endif
    return {};
}

std::string waylandDisplayUnavailableReason()
{
    const std::string name = environment("WAYLAND_DISPLAY");
    if (name.empty())
        return "WAYLAND_DISPLAY is not set";
    std::string socketPath = name;
    if (name.front() != '/') {
        const std::string runtimeFolder = environment("XDG_RUNTIME_DIR");
        if (runtimeFolder.empty())
            return "XDG_RUNTIME_DIR is not set, so the Wayland display \"" + name + "\" cannot be found";
        socketPath = runtimeFolder + '/' + name;
    }
    if (!acceptsConnection(socketPath))
        return "the Wayland display \"" + name + "\" cannot be reached";
    return {};
}

} // namespace Desktop
