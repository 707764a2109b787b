#pragma once

#include <xkbcommon/xkbcommon.h>

#include <memory>
#include <optional>
#include <string_view>

struct wl_keyboard;
struct wl_seat;

namespace Wayland {
class WaylandConnection;
}

namespace Keys {

struct KeymapUnref
{
    void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};
using KeymapPointer = std::unique_ptr<xkb_keymap, KeymapUnref>;

// A keymap in XKB's text format compiled; null when the text is not a keymap.
KeymapPointer compileKeymap(std::string_view keymapText);

// The shift level (0 plain, 1 Shift, 2 AltGr, 3 Shift+AltGr, ...) at which the first key of the layout that holds
// the keysym holds it, keys taken in the order of their codes; nothing when no key of the layout holds it.
std::optional<xkb_level_index_t> firstLevelOf(xkb_keymap* keymap, xkb_layout_index_t layout, xkb_keysym_t keysym);

// The keyboard layout that the compositor gives the program's own keyboard (the seat's), followed as it changes: the
// keymap, and which of its layouts is active.
class WaylandKeyboardLayout
{
public:
    // Asks the connection's seat for its keyboard. The connection must outlive this object.
    explicit WaylandKeyboardLayout(Wayland::WaylandConnection& connection);
    ~WaylandKeyboardLayout();
    WaylandKeyboardLayout(const WaylandKeyboardLayout&) = delete;
    WaylandKeyboardLayout& operator=(const WaylandKeyboardLayout&) = delete;

    // The keymap in use now; null when the compositor gave no keymap (a seat without a keyboard, a broken
    // connection) or one that cannot be read.
    xkb_keymap* keymap();
    // The active layout of the keymap. A compositor tells it only to the program whose window has the keyboard
    // focus, which a connection without windows never has: there it is the keymap's first layout, which is also
    // what a desktop portal (a program without windows too) reckons with.
    xkb_layout_index_t activeLayout() const { return m_activeLayout; }

private:
    static void capabilities(void* data, wl_seat* seat, std::uint32_t capabilities);
    static void keymap(void* data, wl_keyboard* keyboard, std::uint32_t format, std::int32_t fd, std::uint32_t size);
    static void modifiers(void* data, wl_keyboard* keyboard, std::uint32_t serial, std::uint32_t depressed,
                          std::uint32_t latched, std::uint32_t locked, std::uint32_t group);

    Wayland::WaylandConnection& m_connection;
    wl_seat* m_seat = nullptr;
    wl_keyboard* m_keyboard = nullptr;
    KeymapPointer m_keymap;
    xkb_layout_index_t m_activeLayout = 0;
};

} // namespace Keys
