#pragma once

#include <array>
#include <cstdint>

// The standard Blowfish starting tables: the hexadecimal digits of the fractional part of pi,
// the P-array first and then S-boxes 0 to 3. The definitions are generated (see basBlfArrays.cpp).
namespace basBlfArrays {

constexpr int PArrayLength = 18;
constexpr int SBoxCount = 4;
constexpr int SBoxLength = 256;

extern const std::array<std::uint32_t, PArrayLength> InitialPArray;
extern const std::array<std::array<std::uint32_t, SBoxLength>, SBoxCount> InitialSBoxes;

} // namespace basBlfArrays
