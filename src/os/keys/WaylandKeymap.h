#pragma once

#include "os/keys/KeyStroke.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The keymaps that the Wayland key sender uploads for its virtual keyboard, so that every character can be typed
// whatever the user's layout. Characters go only on the keys of the alphanumeric block: browsers act on what
// other keys physically are (Home, Backspace, F-keys) whatever a keymap says. Named keys and modifiers keep their
// own keys. Key numbers here are Linux evdev codes; the keymap text numbers keys 8 higher, as XKB does.
namespace Keys {

class WaylandKeymap
{
public:
    // The alphanumeric block has this many keys: one keymap holds at most this many characters.
    static constexpr std::size_t CharacterKeyCount = 48;

    // The modifier bits of the keymap, for the virtual keyboard's modifiers request.
    static constexpr std::uint32_t ShiftMask = 1u << 0;
    static constexpr std::uint32_t ControlMask = 1u << 2;
    static constexpr std::uint32_t AltMask = 1u << 3;

    // The keys of the modifiers, held down for a stroke that asks for them.
    static constexpr std::uint32_t ShiftKey = 42;   // left Shift
    static constexpr std::uint32_t ControlKey = 29; // left Control
    static constexpr std::uint32_t AltKey = 56;     // left Alt

    // Whether the character is printable and has a keysym, that is whether any keymap can type it.
    static bool canType(char32_t character);
    // The evdev code of a named key (not Key::Character).
    static std::uint32_t keyOf(Key key);
    // The modifier bits of a stroke's modifiers (Keys::Modifier values added together).
    static std::uint32_t modifierMask(unsigned modifiers);

    // A keymap with no characters yet.
    WaylandKeymap() = default;

    // The keymap to upload when the stroke at `from` types a character this one lacks: the characters of the
    // strokes from there on, in order, as many as fit; the room left goes to this keymap's characters most
    // recently typed, as text typed one character per send tends to come back to them.
    WaylandKeymap nextFor(std::span<const KeyStroke> strokes, std::size_t from) const;

    bool holds(char32_t character) const;
    // The evdev code of the key that types the character; the keymap must hold it. Counts as a use.
    std::uint32_t keyFor(char32_t character);

    // The characters, in the order of their keys.
    const std::vector<char32_t>& characters() const { return m_characters; }

    // The keymap in the XKB text format (xkb_keymap { ... }), for the virtual keyboard's keymap request. A
    // character with a distinct capital letter types it with Shift.
    std::string text() const;

private:
    void add(char32_t character);

    std::vector<char32_t> m_characters;
    // When each character was last typed, by a counter of uses; 0 for never.
    std::vector<std::uint64_t> m_lastUse;
    std::uint64_t m_uses = 0;
};

} // namespace Keys
