#pragma once

#include <xkbcommon/xkbcommon.h>

#include <optional>
#include <string_view>
#include <unordered_set>

struct wl_keyboard;
struct wl_seat;

namespace Wayland {
class WaylandConnection;
}

namespace Keys {

// The keysyms that a keyboard layout types: those on any key, in any of its layouts, at any shift level.
using Keysyms = std::unordered_set<xkb_keysym_t>;

// The keysyms of a keymap in XKB's text format; nothing when the text is not a keymap.
std::optional<Keysyms> keysymsOfKeymap(std::string_view keymapText);

// The keyboard layout that the compositor gives the program's own keyboard (the seat's), followed as it changes.
class WaylandKeyboardLayout
{
public:
    // Asks the connection's seat for its keyboard. The connection must outlive this object.
    explicit WaylandKeyboardLayout(Wayland::WaylandConnection& connection);
    ~WaylandKeyboardLayout();
    WaylandKeyboardLayout(const WaylandKeyboardLayout&) = delete;
    WaylandKeyboardLayout& operator=(const WaylandKeyboardLayout&) = delete;

    // The keysyms of the layout in use now; null when the compositor gave no keymap (a seat without a keyboard, a
    // broken connection) or one that cannot be read.
    const Keysyms* keysyms();

private:
    static void capabilities(void* data, wl_seat* seat, std::uint32_t capabilities);
    static void keymap(void* data, wl_keyboard* keyboard, std::uint32_t format, std::int32_t fd, std::uint32_t size);

    Wayland::WaylandConnection& m_connection;
    wl_seat* m_seat = nullptr;
    wl_keyboard* m_keyboard = nullptr;
    std::optional<Keysyms> m_keysyms;
};

} // namespace Keys
