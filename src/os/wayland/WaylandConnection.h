#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <string>
#include <vector>

namespace Wayland {

// A connection of its own to the Wayland compositor that WAYLAND_DISPLAY names, with the globals it announced;
// none when the variable is unset. The connection may fail to open, or break later: isOpen() tells the first,
// roundTrip() the second.
class WaylandConnection
{
public:
    WaylandConnection();
    ~WaylandConnection();
    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;

    // Whether the connection was made and the globals were heard.
    bool isOpen() const { return m_display != nullptr; }
    wl_display* display() const { return m_display; }

    // Whether the compositor offers the interface ("zwp_virtual_keyboard_manager_v1").
    bool offers(const char* interfaceName) const;
    // Binds the first global of the interface at the lower of its version and the one given; null when none is
    // offered. The caller destroys the proxy (before this connection).
    void* bind(const wl_interface& interface, std::uint32_t version);

    // Waits until the compositor has handled every request sent so far; false when the connection broke.
    bool roundTrip();

private:
    struct Global
    {
        std::uint32_t name;
        std::string interface;
        std::uint32_t version;
    };
    static void announce(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                         std::uint32_t version);
    static void withdraw(void* data, wl_registry* registry, std::uint32_t name);

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    std::vector<Global> m_globals;
};

} // namespace Wayland
