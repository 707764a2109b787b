#pragma once

#include <array>
#include <cstdint>

// Unsigned 32-bit word operations of the Blowfish cipher. Words are std::uint32_t, so sums and shifts
// wrap modulo 2^32 by themselves; the functions name the operations the cipher is written in.
namespace basUnsignedWord {

// Four bytes to one word, a most significant: a·2^24 + b·2^16 + c·2^8 + d.
std::uint32_t PackWord(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d);

// A word to its four bytes, most significant first.
std::array<std::uint8_t, 4> UnpackWord(std::uint32_t word);

// The word shifted left by 8 bits; the top 8 bits fall off.
std::uint32_t ShiftLeft8(std::uint32_t word);

// The sum modulo 2^32.
std::uint32_t AddUnsigned(std::uint32_t a, std::uint32_t b);

// The word's unsigned value, 0 to 4,294,967,295.
double WordToDouble(std::uint32_t word);

// The word of an unsigned value 0 to 4,294,967,295; a fraction is rounded to the nearest whole number
// (halves to even). Raises Overflow for a value outside that range, or not a number.
std::uint32_t DoubleToWord(double value);

} // namespace basUnsignedWord
