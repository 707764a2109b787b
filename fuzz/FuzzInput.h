#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The fuzz input as code points: UTF-8 read loosely, so that every code point up to 0x7FFFFFFF (surrogates and
// values past U+10FFFF included) can be reached, while a byte that starts no sequence stands for itself.
inline std::u32string looseUtf32(const std::uint8_t* data, std::size_t size)
{
    std::u32string text;
    for (std::size_t i = 0; i < size;) {
        const std::uint8_t lead = data[i];
        int continuation = lead >= 0xfc   ? 5
                           : lead >= 0xf8 ? 4
                           : lead >= 0xf0 ? 3
                           : lead >= 0xe0 ? 2
                           : lead >= 0xc0 ? 1
                                          : 0;
        if (continuation > 0 && i + continuation < size) {
            char32_t code = lead & (0x3f >> continuation);
            bool valid = true;
            for (int k = 1; k <= continuation; ++k) {
                valid = valid && (data[i + k] & 0xc0) == 0x80;
                code = (code << 6) | (data[i + k] & 0x3f);
            }
            if (valid) {
                text += code;
                i += continuation + 1;
                continue;
            }
        }
        text += static_cast<char32_t>(lead);
        ++i;
    }
    return text;
}
