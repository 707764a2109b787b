#include "os/keys/KeyString.h"

#include <array>
#include <cstdio>

namespace Keys {
namespace {

constexpr std::u32string_view ReservedCharacters = U"+^%~(){}[]";
// More presses than anyone types by hand; a larger count is a mistake, not a wish.
constexpr int MaxCount = 65535;

struct KeyName
{
    std::string_view name;
    Key key;
};

constexpr std::array KeyNames{
    KeyName{"BACKSPACE", Key::Backspace},
    KeyName{"BS", Key::Backspace},
    KeyName{"BKSP", Key::Backspace},
    KeyName{"BREAK", Key::Break},
    KeyName{"CAPSLOCK", Key::CapsLock},
    KeyName{"DELETE", Key::Delete},
    KeyName{"DEL", Key::Delete},
    KeyName{"DOWN", Key::Down},
    KeyName{"END", Key::End},
    KeyName{"ENTER", Key::Enter},
    KeyName{"ESC", Key::Escape},
    KeyName{"HELP", Key::Help},
    KeyName{"HOME", Key::Home},
    KeyName{"INSERT", Key::Insert},
    KeyName{"INS", Key::Insert},
    KeyName{"LEFT", Key::Left},
    KeyName{"NUMLOCK", Key::NumLock},
    KeyName{"PGDN", Key::PageDown},
    KeyName{"PGUP", Key::PageUp},
    KeyName{"PRTSC", Key::PrintScreen},
    KeyName{"RIGHT", Key::Right},
    KeyName{"SCROLLLOCK", Key::ScrollLock},
    KeyName{"TAB", Key::Tab},
    KeyName{"UP", Key::Up},
};

[[noreturn]] void fail(const std::string& problem)
{
    throw KeyStringError(problem);
}

std::string codePointText(char32_t c)
{
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

// Key names are ASCII; anything else makes a name that matches no key.
std::string upperAscii(std::u32string_view text)
{
    std::string upper;
    for (char32_t c : text) {
        if (c > 127)
            return {};
        upper += static_cast<char>(c >= U'a' && c <= U'z' ? c - U'a' + U'A' : c);
    }
    return upper;
}

bool isDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string asciiText(std::u32string_view text)
{
    std::string ascii;
    for (char32_t c : text)
        ascii += c < 128 ? static_cast<char>(c) : '?';
    return ascii;
}

KeyStroke namedKey(std::u32string_view name)
{
    const std::string upper = upperAscii(name);
    for (const KeyName& known : KeyNames) {
        if (known.name == upper)
            return {known.key, 0, NoModifier};
    }
    // At most nine digits: a longer number is beyond an int, and no key either.
    if (upper.size() >= 2 && upper.size() <= 10 && upper.front() == 'F' &&
        isDigits(std::string_view(upper).substr(1))) {
        const int number = std::stoi(upper.substr(1));
        if (number >= 1 && number <= 16)
            return {static_cast<Key>(static_cast<int>(Key::F1) + number - 1), 0, NoModifier};
    }
    fail("unknown key name {" + asciiText(name) + "}");
}

KeyStroke strokeForCharacter(char32_t c)
{
    switch (c) {
    case U'\r':
    case U'\n':
        return {Key::Enter, 0, NoModifier};
    case U'\t':
        return {Key::Tab, 0, NoModifier};
    case U'\b':
        return {Key::Backspace, 0, NoModifier};
    case U'\x1b':
        return {Key::Escape, 0, NoModifier};
    default:
        break;
    }
    const bool control = c < 0x20 || (c >= 0x7f && c < 0xa0);
    const bool notACharacter = (c >= 0xd800 && c <= 0xdfff) || c > 0x10ffff;
    if (control || notACharacter)
        fail("no key types the character " + codePointText(c));
    return {Key::Character, c, NoModifier};
}

int parseCount(std::u32string_view text)
{
    const std::string digits = asciiText(text);
    if (!isDigits(digits) || digits.size() > 5 || std::stoi(digits) > MaxCount)
        fail("the count \"" + digits + "\" is not a whole number from 0 to " + std::to_string(MaxCount));
    return std::stoi(digits);
}

class Parser
{
public:
    explicit Parser(std::u32string_view text) : m_text(text) {}

    std::vector<KeyStroke> parse()
    {
        std::vector<KeyStroke> strokes;
        parseItems(strokes, false);
        return strokes;
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    char32_t peek() const { return m_text[m_pos]; }

    // Items up to the end of the text, or, in a group, up to its closing parenthesis (left unread).
    void parseItems(std::vector<KeyStroke>& strokes, bool inGroup)
    {
        while (!atEnd()) {
            if (peek() == U')') {
                if (!inGroup)
                    fail("a closing parenthesis without an opening one");
                return;
            }
            parseItem(strokes);
        }
        if (inGroup)
            fail("a parenthesis that is not closed");
    }

    void parseItem(std::vector<KeyStroke>& strokes)
    {
        const unsigned modifiers = parseModifiers();
        if (atEnd() || peek() == U')')
            fail("a modifier with no key after it");
        const std::size_t first = strokes.size();
        parseUnit(strokes);
        for (std::size_t i = first; i < strokes.size(); ++i)
            strokes[i].modifiers |= modifiers;
    }

    unsigned parseModifiers()
    {
        unsigned modifiers = NoModifier;
        for (; !atEnd(); ++m_pos) {
            if (peek() == U'+')
                modifiers |= Shift;
            else if (peek() == U'^')
                modifiers |= Control;
            else if (peek() == U'%')
                modifiers |= Alt;
            else
                break;
        }
        return modifiers;
    }

    void parseUnit(std::vector<KeyStroke>& strokes)
    {
        const char32_t c = peek();
        if (c == U'{')
            return parseBraces(strokes);
        ++m_pos;
        switch (c) {
        case U'(':
            parseItems(strokes, true);
            ++m_pos; // the closing parenthesis
            return;
        case U'~':
            strokes.push_back({Key::Enter, 0, NoModifier});
            return;
        case U'}':
            fail("a closing brace without an opening one");
        case U'[':
        case U']':
            fail("a bracket outside braces (write {[} or {]})");
        default:
            strokes.push_back(strokeForCharacter(c));
        }
    }

    void parseBraces(std::vector<KeyStroke>& strokes)
    {
        // The first character inside belongs to the contents even when it is a closing brace: "{}}".
        const std::size_t start = m_pos + 1;
        const std::size_t close = start < m_text.size() ? m_text.find(U'}', start + 1) : std::u32string_view::npos;
        if (close == std::u32string_view::npos)
            fail("a brace that is not closed");
        std::u32string_view contents = m_text.substr(start, close - start);
        m_pos = close + 1;

        int count = 1;
        const std::size_t space = contents.rfind(U' ');
        if (space != std::u32string_view::npos && space > 0) {
            count = parseCount(contents.substr(space + 1));
            contents = contents.substr(0, space);
        }
        const KeyStroke stroke = contents.size() == 1 ? strokeForCharacter(contents.front()) : namedKey(contents);
        strokes.insert(strokes.end(), static_cast<std::size_t>(count), stroke);
    }

    std::u32string_view m_text;
    std::size_t m_pos = 0;
};

} // namespace

std::vector<KeyStroke> parseKeyString(std::u32string_view keyString)
{
    return Parser(keyString).parse();
}

bool isReservedCharacter(char32_t character)
{
    return ReservedCharacters.find(character) != std::u32string_view::npos;
}

std::u32string literalKeyString(char32_t character)
{
    if (isReservedCharacter(character))
        return std::u32string{U'{', character, U'}'};
    return std::u32string(1, character);
}

} // namespace Keys
