#pragma once

// One key press of a key string: a character to type or a named key, with the modifiers held for it.
// Plain C++, shared by every keystroke backend.

namespace Keys {

enum class Key
{
    Character, // the key that types `character`
    Enter,
    Tab,
    Backspace,
    Delete,
    Insert,
    Escape,
    Home,
    End,
    PageUp,
    PageDown,
    Up,
    Down,
    Left,
    Right,
    CapsLock,
    NumLock,
    ScrollLock,
    PrintScreen,
    Break,
    Help,
    F1, // F1 to F16 follow one another
    F16 = F1 + 15,
};

// Modifiers held down while a key is pressed, added together.
enum Modifier : unsigned
{
    NoModifier = 0,
    Shift = 1,
    Control = 2,
    Alt = 4,
};

struct KeyStroke
{
    Key key = Key::Character;
    char32_t character = 0; // for Key::Character: a printable character
    unsigned modifiers = NoModifier;

    bool operator==(const KeyStroke&) const = default;
};

} // namespace Keys
