// The Blowfish text mode on any password check file and any answer: the input is the answer (UTF-8, as
// typed), a line feed, then the file's bytes (read as Latin-1, as the program reads the file). Properties:
// HexToBytes gives one byte per digit pair and reads back the hexadecimal of any bytes; DecryptText either
// deciphers or raises AppError, exactly when the text is shorter than a block, holds a character outside
// Latin-1 or the key is refused, and its result is the whole blocks less at most one block of padding;
// EncryptText then DecryptText gives the text back.
#include "FuzzCheck.h"

#include "domain/crypto/basBlowfish.h"
#include "domain/crypto/basBlowfishByteFns.h"
#include "domain/crypto/basConvert.h"
#include "domain/error/AppError.h"

#include <cstdint>

namespace {

using namespace basBlowfishByteFns;

bool isLatin1(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xff)
            return false;
    }
    return true;
}

void checkHex(const QByteArray& bytes, const QString& keyText)
{
    fuzzCheck(basConvert::HexToBytes(keyText).size() == (keyText.size() + 1) / 2, "one byte per digit pair");
    fuzzCheck(basConvert::HexToBytes(QString::fromLatin1(bytes.toHex())) == bytes, "lower-case hex reads back");
    fuzzCheck(basConvert::HexToBytes(QString::fromLatin1(bytes.toHex().toUpper())) == bytes,
              "upper-case hex reads back");
}

void checkDecrypt(const QString& cipherText, const QString& keyText)
{
    const qsizetype keyBytes = basConvert::HexToBytes(keyText).size();
    const bool keyAccepted = keyBytes >= 1 && keyBytes <= basBlowfish::MaxKeyBytes;
    const bool deciphers = cipherText.size() >= BlockSize && keyAccepted && isLatin1(cipherText);
    QString plain;
    try {
        plain = DecryptText(cipherText, keyText);
    } catch (const AppError&) {
        fuzzCheck(!deciphers, "DecryptText deciphers a text of whole blocks under an accepted key");
        return;
    }
    fuzzCheck(deciphers, "DecryptText refuses a short text, a character outside Latin-1 or a refused key");
    const qsizetype blocksLength = cipherText.size() / BlockSize * BlockSize;
    fuzzCheck(plain.size() <= blocksLength && plain.size() >= blocksLength - BlockSize,
              "the padding dropped is at most one block");
    fuzzCheck(isLatin1(plain), "a deciphered text stands for bytes");
}

void checkRoundTrip(const QString& text, const QString& keyText)
{
    QString cipherText;
    try {
        cipherText = EncryptText(text, keyText);
    } catch (const AppError&) {
        return;
    }
    fuzzCheck(cipherText.size() == BlockSize * (text.size() / BlockSize + 1), "whole blocks with padding");
    fuzzCheck(DecryptText(cipherText, keyText) == text, "EncryptText then DecryptText gives the text back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype lineEnd = input.indexOf('\n');
    const QString answer = QString::fromUtf8(lineEnd < 0 ? input : input.first(lineEnd));
    const QByteArray file = lineEnd < 0 ? QByteArray() : input.mid(lineEnd + 1);

    checkHex(input, answer);
    checkDecrypt(QString::fromLatin1(file), answer);
    checkDecrypt(QString::fromUtf8(file), answer);
    checkRoundTrip(QString::fromLatin1(file), answer);
    return 0;
}
