#pragma once

#include <QByteArray>
#include <QString>

// Conversions between texts and the bytes the Blowfish text mode works on.
namespace basConvert {

// Reads a key text as hexadecimal digit pairs, one byte per pair. A text of odd length is read with
// a "0" in front. Each pair is read like a hexadecimal number literal: blanks, tabs and line feeds are
// skipped, the hexadecimal digits from the start are taken and reading stops at any other character,
// so "4F" gives 0x4F, "z1" gives 0 and "A?" gives 0x0A. An empty text gives an empty array.
QByteArray HexToBytes(const QString& text);

// A text to its bytes in the ANSI code page, which is Latin-1 here: every character U+0000 to U+00FF
// is one byte. Raises InvalidArgument, naming the character and its position, for any other character.
QByteArray textToAnsiBytes(const QString& text);

// Bytes back to a text, one character per byte; every byte value has its character.
QString ansiBytesToText(const QByteArray& bytes);

// The code of the character at the index, as "U+0009" or "U+1F600", for error messages. A surrogate
// pair counts as the one character it encodes.
QString characterCode(const QString& text, qsizetype index);

// The character at the index for messages: shown in quotes when it prints, and by its code either way
// ("\"é\" (U+00E9)", "U+0009"). A surrogate pair counts as the one character it encodes.
QString characterName(const QString& text, qsizetype index);

} // namespace basConvert
