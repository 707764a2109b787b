#include "os/wayland/WaylandConnection.h"

#include <algorithm>
#include <cstdlib>

namespace Wayland {
namespace {

// libwayland falls back to "wayland-0" when WAYLAND_DISPLAY is unset, which would reach a compositor the session
// does not name.
wl_display* connectToTheNamedCompositor()
{
    const char* name = std::getenv("WAYLAND_DISPLAY");
    return name && *name ? wl_display_connect(nullptr) : nullptr;
}

} // namespace

WaylandConnection::WaylandConnection() : m_display(connectToTheNamedCompositor())
{
    if (!m_display)
        return;
    static const wl_registry_listener listener{&WaylandConnection::announce, &WaylandConnection::withdraw};
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &listener, this);
    if (wl_display_roundtrip(m_display) < 0) {
        wl_registry_destroy(m_registry);
        wl_display_disconnect(m_display);
        m_registry = nullptr;
        m_display = nullptr;
    }
}

WaylandConnection::~WaylandConnection()
{
    if (!m_display)
        return;
    wl_registry_destroy(m_registry);
    wl_display_disconnect(m_display);
}

void WaylandConnection::announce(void* data, wl_registry*, std::uint32_t name, const char* interface,
                                 std::uint32_t version)
{
    static_cast<WaylandConnection*>(data)->m_globals.push_back({name, interface, version});
}

void WaylandConnection::withdraw(void* data, wl_registry*, std::uint32_t name)
{
    std::vector<Global>& globals = static_cast<WaylandConnection*>(data)->m_globals;
    globals.erase(std::remove_if(globals.begin(), globals.end(), [name](const Global& g) { return g.name == name; }),
                  globals.end());
}

bool WaylandConnection::offers(const char* interfaceName) const
{
    return std::any_of(m_globals.begin(), m_globals.end(),
                       [interfaceName](const Global& g) { return g.interface == interfaceName; });
}

void* WaylandConnection::bind(const wl_interface& interface, std::uint32_t version)
{
    for (const Global& global : m_globals) {
        if (global.interface == interface.name)
            return wl_registry_bind(m_registry, global.name, &interface, std::min(version, global.version));
    }
    return nullptr;
}

bool WaylandConnection::roundTrip()
{
    return m_display && wl_display_roundtrip(m_display) >= 0;
}

} // namespace Wayland
