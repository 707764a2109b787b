#pragma once

#include <optional>
#include <string>

// Text between the OS layer's strings, UTF-8 on every system, and the UTF-16 of Windows' wide functions, which
// take every character (the ANSI functions turn those outside the code page into "?").
namespace Os {

// Nothing for text that is not valid UTF-8 or that holds a zero, which would end it early.
std::optional<std::wstring> wideFromUtf8(const std::string& text);
std::string utf8FromWide(const std::wstring& text);

} // namespace Os
