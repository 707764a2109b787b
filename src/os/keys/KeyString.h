#pragma once

#include "os/keys/KeyStroke.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The key-string syntax of the keystroke facility:
//   a plain character    types its key; carriage return and line feed press Enter, tab presses Tab
//   + ^ %                hold Shift, Ctrl or Alt for the key or parenthesised group that follows
//   ( )                  group keys under one set of modifiers: "+(ab)" types "AB"
//   ~                    presses Enter
//   {c}                  the character c taken literally, reserved or not: "{+}", "{{}", "{}}"
//   {NAME}               a named key: {ENTER}, {TAB}, {BS}, {DEL}, {ESC}, {HOME}, {F1} ... (any letter case)
//   {c n} / {NAME n}     the key pressed n times: "{TAB 3}"
// The characters + ^ % ~ ( ) { } [ ] are reserved; to type one of them, enclose it in braces.
namespace Keys {

class KeyStringError : public std::invalid_argument
{
public:
    using std::invalid_argument::invalid_argument;
};

// The key presses a key string stands for, in order. Throws KeyStringError when the string breaks the
// syntax: an unbalanced brace or parenthesis, an unknown key name, a bad count, a modifier with no key
// after it, an unbraced bracket, or a control character that no key types.
std::vector<KeyStroke> parseKeyString(std::u32string_view keyString);

// The key string that types the character as itself: reserved characters come braced.
std::u32string literalKeyString(char32_t character);

bool isReservedCharacter(char32_t character);

} // namespace Keys
