#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>

// OpenSSL's Blowfish, the independent reference the cipher tests compare against.
namespace referenceBlowfish {

struct KeyedTables
{
    std::array<std::uint32_t, 18> pArray;
    std::array<std::array<std::uint32_t, 256>, 4> sBoxes;
};

// The P-array and S-boxes after the key schedule for the key.
KeyedTables keyedTables(const QByteArray& key);

// Each whole 8-byte block of the data enciphered (or deciphered) on its own under the key.
QByteArray ecb(const QByteArray& key, const QByteArray& data, bool encipher);

} // namespace referenceBlowfish
