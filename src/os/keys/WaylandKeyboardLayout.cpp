#include "os/keys/WaylandKeyboardLayout.h"

#include "os/wayland/WaylandConnection.h"

#include <memory>
#include <sys/mman.h>
#include <unistd.h>

namespace Keys {
namespace {

// Far above any real keymap (a few hundred kilobytes): a larger one is refused rather than mapped.
constexpr std::uint32_t LargestKeymap = 16u << 20;

struct KeymapUnref
{
    void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};
struct ContextUnref
{
    void operator()(xkb_context* context) const { xkb_context_unref(context); }
};

void releaseKeyboard(wl_keyboard* keyboard)
{
    if (wl_keyboard_get_version(keyboard) >= WL_KEYBOARD_RELEASE_SINCE_VERSION)
        wl_keyboard_release(keyboard);
    else
        wl_keyboard_destroy(keyboard);
}

void addKeysymsOfKey(xkb_keymap* keymap, xkb_keycode_t key, void* keysyms)
{
    for (xkb_layout_index_t layout = 0; layout < xkb_keymap_num_layouts_for_key(keymap, key); ++layout) {
        for (xkb_level_index_t level = 0; level < xkb_keymap_num_levels_for_key(keymap, key, layout); ++level) {
            const xkb_keysym_t* syms = nullptr;
            const int count = xkb_keymap_key_get_syms_by_level(keymap, key, layout, level, &syms);
            for (int i = 0; i < count; ++i)
                static_cast<Keysyms*>(keysyms)->insert(syms[i]);
        }
    }
}

// The events of the seat and keyboard that do not concern the layout.
void ignoreSeatName(void*, wl_seat*, const char*)
{}
void ignoreEnter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*)
{}
void ignoreLeave(void*, wl_keyboard*, std::uint32_t, wl_surface*)
{}
void ignoreKey(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t)
{}
void ignoreModifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t)
{}
void ignoreRepeatInfo(void*, wl_keyboard*, std::int32_t, std::int32_t)
{}

} // namespace

std::optional<Keysyms> keysymsOfKeymap(std::string_view keymapText)
{
    // The compositor's text ends with a NUL, which is not part of the keymap.
    keymapText = keymapText.substr(0, keymapText.find('\0'));
    const std::unique_ptr<xkb_context, ContextUnref> context(xkb_context_new(
        static_cast<xkb_context_flags>(XKB_CONTEXT_NO_DEFAULT_INCLUDES | XKB_CONTEXT_NO_ENVIRONMENT_NAMES)));
    if (!context)
        return std::nullopt;
    xkb_context_set_log_level(context.get(), XKB_LOG_LEVEL_CRITICAL);
    const std::unique_ptr<xkb_keymap, KeymapUnref> keymap(xkb_keymap_new_from_buffer(
        context.get(), keymapText.data(), keymapText.size(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap)
        return std::nullopt;
    Keysyms keysyms;
    xkb_keymap_key_for_each(keymap.get(), &addKeysymsOfKey, &keysyms);
    return keysyms;
}

WaylandKeyboardLayout::WaylandKeyboardLayout(Wayland::WaylandConnection& connection) : m_connection(connection)
{
    static const wl_seat_listener seatListener{&WaylandKeyboardLayout::capabilities, &ignoreSeatName};
    m_seat = static_cast<wl_seat*>(connection.bind(wl_seat_interface, 4));
    if (!m_seat)
        return;
    wl_seat_add_listener(m_seat, &seatListener, this);
    // The seat tells whether it has a keyboard; the keyboard, asked for then, gives its keymap.
    connection.roundTrip();
    connection.roundTrip();
}

WaylandKeyboardLayout::~WaylandKeyboardLayout()
{
    if (m_keyboard)
        releaseKeyboard(m_keyboard);
    if (m_seat)
        wl_seat_destroy(m_seat);
}

const Keysyms* WaylandKeyboardLayout::keysyms()
{
    // Takes in a keymap the compositor sent since (the user switched layouts).
    if (!m_connection.roundTrip())
        return nullptr;
    return m_keysyms ? &*m_keysyms : nullptr;
}

void WaylandKeyboardLayout::capabilities(void* data, wl_seat* seat, std::uint32_t capabilities)
{
    static const wl_keyboard_listener keyboardListener{
        &WaylandKeyboardLayout::keymap, &ignoreEnter, &ignoreLeave, &ignoreKey, &ignoreModifiers, &ignoreRepeatInfo};
    auto* layout = static_cast<WaylandKeyboardLayout*>(data);
    if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) && !layout->m_keyboard) {
        layout->m_keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(layout->m_keyboard, &keyboardListener, layout);
    } else if (!(capabilities & WL_SEAT_CAPABILITY_KEYBOARD) && layout->m_keyboard) {
        releaseKeyboard(layout->m_keyboard);
        layout->m_keyboard = nullptr;
        layout->m_keysyms.reset();
    }
}

void WaylandKeyboardLayout::keymap(void* data, wl_keyboard*, std::uint32_t format, std::int32_t fd, std::uint32_t size)
{
    auto* layout = static_cast<WaylandKeyboardLayout*>(data);
    layout->m_keysyms.reset();
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0 && size <= LargestKeymap) {
        void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (text != MAP_FAILED) {
            layout->m_keysyms = keysymsOfKeymap(std::string_view(static_cast<const char*>(text), size));
            munmap(text, size);
        }
    }
    close(fd);
}

} // namespace Keys
