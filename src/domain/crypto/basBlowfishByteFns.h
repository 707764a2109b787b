#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

// The Blowfish text mode: electronic code book over whole 8-byte blocks, the data padded with p bytes
// of value p (1 to 8) so that every length fits. Texts stand for bytes through the ANSI code page
// (Latin-1), so an enciphered byte string survives the way through a text unchanged.
namespace basBlowfishByteFns {

constexpr int BlockSize = 8;
using Block8 = std::array<std::uint8_t, BlockSize>;

// Enciphers the text under the key, given as hexadecimal text (see basConvert::HexToBytes). The
// result is a byte string of 8 × (⌊n/8⌋ + 1) characters for a text of n characters.
// Raises InvalidArgument when the key text gives no key bytes or more than 56: going on with the
// tables of an earlier key would write a file that no password opens, so a refused key is an error.
// Raises InvalidArgument too for a text character outside Latin-1.
QString EncryptText(const QString& text, const QString& keyText);

// Deciphers a byte string made by EncryptText and drops the padding. Raises SubscriptOutOfRange when
// the byte string is shorter than one block, and InvalidArgument for a refused key as above.
QString DecryptText(const QString& cipherText, const QString& keyText);

// Pads, then enciphers every block under the current key.
QByteArray EncryptBytes(const QByteArray& data);

// Deciphers every block under the current key, then drops the padding.
QByteArray DecryptBytes(const QByteArray& data);

// Enciphers (encipher true) or deciphers each whole 8-byte block on its own; the bytes after the last
// whole block are dropped. Raises SubscriptOutOfRange for data shorter than one block.
QByteArray CipherBlocksEcb(const QByteArray& data, bool encipher);

// One block in place; bytes 0-3 are the left half and 4-7 the right, most significant byte first.
void EncipherBlock8(Block8& block);
void DecipherBlock8(Block8& block);

// A copy followed by p bytes of value p, p = 8 − (n mod 8): always 1 to 8 bytes.
QByteArray AddBlockPadding(const QByteArray& data);

// A copy without the padding its last byte announces. A last byte of 0 or above 8 announces none;
// the other padding bytes are not checked, and padding as long as the data leaves nothing.
QByteArray RemoveBlockPadding(const QByteArray& data);

} // namespace basBlowfishByteFns
