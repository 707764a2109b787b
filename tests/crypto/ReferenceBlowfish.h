#pragma once

#include <QByteArray>

// OpenSSL's Blowfish, the independent reference the cipher tests compare against.
namespace referenceBlowfish {

// Each whole 8-byte block of the data enciphered (or deciphered) on its own under the key.
QByteArray ecb(const QByteArray& key, const QByteArray& data, bool encipher);

} // namespace referenceBlowfish
