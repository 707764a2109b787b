#include "os/keys/WaylandKeyboardLayout.h"

#include "os/wayland/WaylandConnection.h"

#include <memory>
#include <sys/mman.h>
#include <unistd.h>

namespace Keys {
namespace {

// Far above any real keymap (a few hundred kilobytes): a larger one is refused rather than mapped.
constexpr std::uint32_t LargestKeymap = 16u << 20;

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

// The events of the seat and keyboard that do not concern the layout.
void ignoreSeatName(void*, wl_seat*, const char*)
{}
void ignoreEnter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*)
{}
void ignoreLeave(void*, wl_keyboard*, std::uint32_t, wl_surface*)
{}
void ignoreKey(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t)
{}
void ignoreRepeatInfo(void*, wl_keyboard*, std::int32_t, std::int32_t)
{}

} // namespace

KeymapPointer compileKeymap(std::string_view keymapText)
{
    // The compositor's text ends with a NUL, which is not part of the keymap.
    keymapText = keymapText.substr(0, keymapText.find('\0'));
    const std::unique_ptr<xkb_context, ContextUnref> context(xkb_context_new(
        static_cast<xkb_context_flags>(XKB_CONTEXT_NO_DEFAULT_INCLUDES | XKB_CONTEXT_NO_ENVIRONMENT_NAMES)));
    if (!context)
        return nullptr;
    xkb_context_set_log_level(context.get(), XKB_LOG_LEVEL_CRITICAL);
    return KeymapPointer(xkb_keymap_new_from_buffer(context.get(), keymapText.data(), keymapText.size(),
                                                    XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
}

std::optional<xkb_level_index_t> firstLevelOf(xkb_keymap* keymap, xkb_layout_index_t layout, xkb_keysym_t keysym)
{
    for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap); key <= xkb_keymap_max_keycode(keymap); ++key) {
        for (xkb_level_index_t level = 0; level < xkb_keymap_num_levels_for_key(keymap, key, layout); ++level) {
            const xkb_keysym_t* syms = nullptr;
            const int count = xkb_keymap_key_get_syms_by_level(keymap, key, layout, level, &syms);
            for (int i = 0; i < count; ++i) {
                if (syms[i] == keysym)
                    return level;
            }
        }
    }
    return std::nullopt;
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

xkb_keymap* WaylandKeyboardLayout::keymap()
{
    // Takes in a keymap the compositor sent since (the user chose other layouts).
    if (!m_connection.roundTrip())
        return nullptr;
    return m_keymap.get();
}

void WaylandKeyboardLayout::capabilities(void* data, wl_seat* seat, std::uint32_t capabilities)
{
    static const wl_keyboard_listener keyboardListener{
        &WaylandKeyboardLayout::keymap,    &ignoreEnter,     &ignoreLeave, &ignoreKey,
        &WaylandKeyboardLayout::modifiers, &ignoreRepeatInfo};
    auto* layout = static_cast<WaylandKeyboardLayout*>(data);
    if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) && !layout->m_keyboard) {
        layout->m_keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(layout->m_keyboard, &keyboardListener, layout);
    } else if (!(capabilities & WL_SEAT_CAPABILITY_KEYBOARD) && layout->m_keyboard) {
        releaseKeyboard(layout->m_keyboard);
        layout->m_keyboard = nullptr;
        layout->m_keymap.reset();
    }
}

void WaylandKeyboardLayout::keymap(void* data, wl_keyboard*, std::uint32_t format, std::int32_t fd, std::uint32_t size)
{
    auto* layout = static_cast<WaylandKeyboardLayout*>(data);
    layout->m_keymap.reset();
    layout->m_activeLayout = 0;
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0 && size <= LargestKeymap) {
        void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (text != MAP_FAILED) {
            layout->m_keymap = compileKeymap(std::string_view(static_cast<const char*>(text), size));
            munmap(text, size);
        }
    }
    close(fd);
}

void WaylandKeyboardLayout::modifiers(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                                      std::uint32_t, std::uint32_t group)
{
    static_cast<WaylandKeyboardLayout*>(data)->m_activeLayout = group;
}

} // namespace Keys
