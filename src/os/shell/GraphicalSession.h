#pragma once

#include <string>

namespace Desktop {

// Whether the displays that the environment names can be reached: empty when they can, else why not
// ("DISPLAY is not set"). Neither waits on an unresponsive Wayland compositor.

// The X server that DISPLAY names accepts a connection. A build without xcb takes a set DISPLAY at its word.
std::string x11DisplayUnavailableReason();
// The Wayland compositor that WAYLAND_DISPLAY names (a socket in XDG_RUNTIME_DIR, or a path) accepts a connection.
std::string waylandDisplayUnavailableReason();

} // namespace Desktop
