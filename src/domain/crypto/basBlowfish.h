#pragma once

#include "domain/crypto/basBlfArrays.h"

#include <QByteArray>

#include <array>
#include <cstdint>

// The Blowfish block cipher: 64-bit blocks as two big-endian 32-bit halves, 16 rounds, an 18-word
// P-array and four 256-word S-boxes. The tables are module-wide state, replaced by every key set-up;
// use from one thread only.
namespace basBlowfish {

using PArrayTable = std::array<std::uint32_t, basBlfArrays::PArrayLength>;
using SBoxTables = std::array<std::array<std::uint32_t, basBlfArrays::SBoxLength>, basBlfArrays::SBoxCount>;

// The largest key SetCipherKey accepts, in bytes.
constexpr int MaxKeyBytes = 56;

// The tables in force, for inspection. They hold zeros until the first key set-up.
const PArrayTable& PArray();
const SBoxTables& SBoxes();

// Loads the standard starting tables (the digits of pi), with no key mixed in.
void LoadBlowfishTables();

// F(x) = ((S0[a] + S1[b]) XOR S2[c]) + S3[d], with a the most significant byte of x.
// Raises SubscriptOutOfRange when no key was ever set.
std::uint32_t RoundFunction(std::uint32_t x);

// Enciphers or deciphers one block, given as its two halves, in place under the current tables.
// Raise SubscriptOutOfRange when no key was ever set.
void EncipherWordPair(std::uint32_t& left, std::uint32_t& right);
void DecipherWordPair(std::uint32_t& left, std::uint32_t& right);

// The Blowfish key schedule: reloads the starting tables and mixes the key into them, the key bytes
// used cyclically. Raises InvalidArgument for an empty key.
void ExpandKey(const QByteArray& key);

// Sets up the cipher for a key of 1 to 56 bytes and returns true. Any other key is refused: the
// result is false and the tables stay as they were.
bool SetCipherKey(const QByteArray& key);

} // namespace basBlowfish
