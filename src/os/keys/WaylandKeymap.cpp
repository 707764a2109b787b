#include "os/keys/WaylandKeymap.h"

#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <tuple>

namespace Keys {
namespace {

// The alphanumeric block: the digit row, the three letter rows and the key left of Z on ISO keyboards.
constexpr std::array<std::uint32_t, WaylandKeymap::CharacterKeyCount> CharacterKeys = {
    2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, // 1 to =
    16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, // Q to ]
    30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, // A to `
    43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53,     // \ to /
    86,                                             // < > on ISO keyboards
};

// XKB numbers the keys 8 higher than evdev; up to 255 so that X11 programs under XWayland get them too.
constexpr std::uint32_t XkbOffset = 8;

struct NamedKey
{
    Key key;
    std::uint32_t evdev;
    const char* symbols; // Shift+Tab gives ISO_Left_Tab, as on common layouts
};

constexpr std::array<NamedKey, 20> NamedKeys = {{
    {Key::Enter, 28, "[ Return ]"},
    {Key::Tab, 15, "type = \"TWO_LEVEL\", [ Tab, ISO_Left_Tab ]"},
    {Key::Backspace, 14, "[ BackSpace ]"},
    {Key::Delete, 111, "[ Delete ]"},
    {Key::Insert, 110, "[ Insert ]"},
    {Key::Escape, 1, "[ Escape ]"},
    {Key::Home, 102, "[ Home ]"},
    {Key::End, 107, "[ End ]"},
    {Key::PageUp, 104, "[ Prior ]"},
    {Key::PageDown, 109, "[ Next ]"},
    {Key::Up, 103, "[ Up ]"},
    {Key::Down, 108, "[ Down ]"},
    {Key::Left, 105, "[ Left ]"},
    {Key::Right, 106, "[ Right ]"},
    {Key::CapsLock, 58, "[ Caps_Lock ]"},
    {Key::NumLock, 69, "[ Num_Lock ]"},
    {Key::ScrollLock, 70, "[ Scroll_Lock ]"},
    {Key::PrintScreen, 99, "[ Print ]"},
    {Key::Break, 119, "[ Break ]"},
    {Key::Help, 138, "[ Help ]"},
}};

// F1 to F10 are in a row; F11 and F12 came later, F13 to F16 later still.
constexpr std::array<std::uint32_t, 16> FunctionKeys = {59, 60, 61, 62, 63,  64,  65,  66,
                                                        67, 68, 87, 88, 183, 184, 185, 186};

std::string keyName(std::uint32_t evdev)
{
    return "<I" + std::to_string(evdev + XkbOffset) + ">";
}

std::string keysymName(xkb_keysym_t keysym)
{
    char name[64];
    xkb_keysym_get_name(keysym, name, sizeof name);
    return name;
}

std::string keycodeLine(std::uint32_t evdev)
{
    return "    " + keyName(evdev) + " = " + std::to_string(evdev + XkbOffset) + ";\n";
}

std::string symbolsLine(std::uint32_t evdev, const std::string& symbols)
{
    return "    key " + keyName(evdev) + " { " + symbols + " };\n";
}

// The keysyms of a character's key: the character, and its capital letter with Shift when it has one.
std::string characterSymbols(char32_t character)
{
    const xkb_keysym_t keysym = xkb_utf32_to_keysym(character);
    const xkb_keysym_t capital = xkb_keysym_to_upper(keysym);
    if (capital == keysym)
        return "[ " + keysymName(keysym) + " ]";
    return "type = \"TWO_LEVEL\", [ " + keysymName(keysym) + ", " + keysymName(capital) + " ]";
}

// One level for most keys, a second one with Shift for letters; no modifier but those the program sets.
constexpr const char* TypesAndCompatibility = R"(xkb_types "quillock" {
    type "ONE_LEVEL" {
        modifiers = none;
        level_name[Level1] = "Any";
    };
    type "TWO_LEVEL" {
        modifiers = Shift;
        map[Shift] = Level2;
        level_name[Level1] = "Base";
        level_name[Level2] = "Shift";
    };
};
xkb_compatibility "quillock" {
    interpret Shift_L { action = SetMods(modifiers = Shift); };
    interpret Control_L { action = SetMods(modifiers = Control); };
    interpret Alt_L { action = SetMods(modifiers = Mod1); };
};
)";

} // namespace

bool WaylandKeymap::canType(char32_t character)
{
    // Control characters have keysyms of keys (U+007F is Delete), which no character key may carry.
    const bool control = character < 0x20 || (character >= 0x7f && character <= 0x9f);
    return !control && xkb_utf32_to_keysym(character) != XKB_KEY_NoSymbol;
}

std::uint32_t WaylandKeymap::keyOf(Key key)
{
    if (key >= Key::F1 && key <= Key::F16)
        return FunctionKeys[static_cast<std::size_t>(static_cast<int>(key) - static_cast<int>(Key::F1))];
    const auto named =
        std::find_if(NamedKeys.begin(), NamedKeys.end(), [key](const NamedKey& k) { return k.key == key; });
    return named == NamedKeys.end() ? 0 : named->evdev;
}

std::uint32_t WaylandKeymap::modifierMask(unsigned modifiers)
{
    return ((modifiers & Shift) ? ShiftMask : 0) | ((modifiers & Control) ? ControlMask : 0) |
           ((modifiers & Alt) ? AltMask : 0);
}

WaylandKeymap WaylandKeymap::nextFor(std::span<const KeyStroke> strokes, std::size_t from) const
{
    WaylandKeymap next;
    next.m_uses = m_uses;
    for (std::size_t i = from; i < strokes.size() && next.m_characters.size() < CharacterKeyCount; ++i) {
        if (strokes[i].key == Key::Character && !next.holds(strokes[i].character))
            next.add(strokes[i].character);
    }
    std::vector<std::size_t> recentFirst(m_characters.size());
    std::iota(recentFirst.begin(), recentFirst.end(), 0);
    std::stable_sort(recentFirst.begin(), recentFirst.end(),
                     [this](std::size_t a, std::size_t b) { return m_lastUse[a] > m_lastUse[b]; });
    for (std::size_t i : recentFirst) {
        if (next.m_characters.size() == CharacterKeyCount)
            break;
        if (!next.holds(m_characters[i])) {
            next.add(m_characters[i]);
            next.m_lastUse.back() = m_lastUse[i];
        }
    }
    return next;
}

bool WaylandKeymap::holds(char32_t character) const
{
    return std::find(m_characters.begin(), m_characters.end(), character) != m_characters.end();
}

std::uint32_t WaylandKeymap::keyFor(char32_t character)
{
    const auto index =
        static_cast<std::size_t>(std::find(m_characters.begin(), m_characters.end(), character) - m_characters.begin());
    m_lastUse[index] = ++m_uses;
    return CharacterKeys[index];
}

void WaylandKeymap::add(char32_t character)
{
    m_characters.push_back(character);
    m_lastUse.push_back(0);
}

std::string WaylandKeymap::text() const
{
    std::string keycodes = "xkb_keycodes \"quillock\" {\n    minimum = 8;\n    maximum = 255;\n";
    std::string symbols = "xkb_symbols \"quillock\" {\n";
    for (std::size_t i = 0; i < m_characters.size(); ++i) {
        keycodes += keycodeLine(CharacterKeys[i]);
        symbols += symbolsLine(CharacterKeys[i], characterSymbols(m_characters[i]));
    }
    for (const NamedKey& named : NamedKeys) {
        keycodes += keycodeLine(named.evdev);
        symbols += symbolsLine(named.evdev, named.symbols);
    }
    for (std::size_t i = 0; i < FunctionKeys.size(); ++i) {
        keycodes += keycodeLine(FunctionKeys[i]);
        symbols += symbolsLine(FunctionKeys[i], "[ F" + std::to_string(i + 1) + " ]");
    }
    for (const auto& [evdev, keysym, modifier] :
         {std::tuple{ShiftKey, "Shift_L", "Shift"}, std::tuple{ControlKey, "Control_L", "Control"},
          std::tuple{AltKey, "Alt_L", "Mod1"}}) {
        keycodes += keycodeLine(evdev);
        symbols += symbolsLine(evdev, "[ " + std::string(keysym) + " ]");
        symbols += "    modifier_map " + std::string(modifier) + " { " + keyName(evdev) + " };\n";
    }
    return "xkb_keymap {\n" + keycodes + "};\n" + TypesAndCompatibility + symbols + "};\n};\n";
}

} // namespace Keys
