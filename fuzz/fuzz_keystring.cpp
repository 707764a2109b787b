// The key-string parser on any text. Properties: it either parses or refuses with KeyStringError; every key
// press it makes is a known key with known modifiers, a character press types a printable character; and
// the key presses, written back as a key string, parse to the same presses.
#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "os/keys/KeyString.h"

#include <string_view>

namespace {

using namespace Keys;

// Longer results are not written back: a few "{TAB 65535}" would make the check slow, not better.
constexpr std::size_t MaxStrokesWrittenBack = 100000;

std::string_view nameOf(Key key)
{
    switch (key) {
    case Key::Enter:
        return "ENTER";
    case Key::Tab:
        return "TAB";
    case Key::Backspace:
        return "BS";
    case Key::Delete:
        return "DEL";
    case Key::Insert:
        return "INS";
    case Key::Escape:
        return "ESC";
    case Key::Home:
        return "HOME";
    case Key::End:
        return "END";
    case Key::PageUp:
        return "PGUP";
    case Key::PageDown:
        return "PGDN";
    case Key::Up:
        return "UP";
    case Key::Down:
        return "DOWN";
    case Key::Left:
        return "LEFT";
    case Key::Right:
        return "RIGHT";
    case Key::CapsLock:
        return "CAPSLOCK";
    case Key::NumLock:
        return "NUMLOCK";
    case Key::ScrollLock:
        return "SCROLLLOCK";
    case Key::PrintScreen:
        return "PRTSC";
    case Key::Break:
        return "BREAK";
    case Key::Help:
        return "HELP";
    default:
        return {};
    }
}

bool isPrintable(char32_t c)
{
    return c >= 0x20 && !(c >= 0x7f && c < 0xa0) && !(c >= 0xd800 && c <= 0xdfff) && c <= 0x10ffff;
}

void checkStroke(const KeyStroke& stroke)
{
    fuzzCheck((stroke.modifiers & ~unsigned(Shift | Control | Alt)) == 0, "only Shift, Ctrl and Alt are held");
    const int key = static_cast<int>(stroke.key);
    fuzzCheck(key >= static_cast<int>(Key::Character) && key <= static_cast<int>(Key::F16), "a known key");
    if (stroke.key == Key::Character)
        fuzzCheck(isPrintable(stroke.character), "a character press types a printable character");
    else
        fuzzCheck(stroke.character == 0, "a named key carries no character");
}

std::u32string keyStringOf(const KeyStroke& stroke)
{
    std::u32string text;
    if (stroke.modifiers & Shift)
        text += U'+';
    if (stroke.modifiers & Control)
        text += U'^';
    if (stroke.modifiers & Alt)
        text += U'%';
    if (stroke.key == Key::Character)
        return text + literalKeyString(stroke.character);
    std::string name(nameOf(stroke.key));
    if (name.empty())
        name = "F" + std::to_string(static_cast<int>(stroke.key) - static_cast<int>(Key::F1) + 1);
    text += U'{';
    for (char c : name)
        text += static_cast<char32_t>(c);
    return text + U'}';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<KeyStroke> strokes;
    try {
        strokes = parseKeyString(looseUtf32(data, size));
    } catch (const KeyStringError&) {
        return 0;
    }
    for (const KeyStroke& stroke : strokes)
        checkStroke(stroke);
    if (strokes.size() > MaxStrokesWrittenBack)
        return 0;

    std::u32string writtenBack;
    for (const KeyStroke& stroke : strokes)
        writtenBack += keyStringOf(stroke);
    try {
        fuzzCheck(parseKeyString(writtenBack) == strokes, "the presses written back parse to the same presses");
    } catch (const KeyStringError&) {
        fuzzCheck(false, "the presses written back parse");
    }
    return 0;
}
