// The field cipher on any stored text (UTF-8). A first byte 0x7F stands for the rest repeated to the longest
// text the cipher takes, or one character more. Properties: Encrypt2 takes exactly the texts of at most
// 32,767 characters of its alphabet and raises AppError for every other; it keeps the length and the
// alphabet; it is its own inverse; and the key string it is given changes no result.
#include "FuzzCheck.h"

#include "domain/crypto/dsEncrypt.h"
#include "domain/error/AppError.h"

#include <cstdint>

namespace {

constexpr std::uint8_t LongTextMark = 0x7f;

QString textOf(const std::uint8_t* data, std::size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    if (size < 2 || data[0] != LongTextMark)
        return QString::fromUtf8(bytes, static_cast<qsizetype>(size));
    const QString unit = QString::fromUtf8(bytes + 1, static_cast<qsizetype>(size - 1));
    const qsizetype length = dsEncrypt::MaxTextLength + static_cast<qsizetype>(size % 2);
    QString text;
    while (text.size() < length)
        text += unit;
    return text.first(length);
}

bool inAlphabet(const dsEncrypt& cipher, const QString& text)
{
    for (const QChar c : text) {
        if (!cipher.alphabet().contains(c))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static dsEncrypt cipher;
    const QString text = textOf(data, size);
    const bool accepted = text.size() <= dsEncrypt::MaxTextLength && inAlphabet(cipher, text);
    QString enciphered;
    try {
        enciphered = cipher.Encrypt2(text);
    } catch (const AppError& error) {
        fuzzCheck(!accepted, "Encrypt2 takes every text of its alphabet up to the longest");
        fuzzCheck(error.number() == ErrorNumber::InvalidArgument || error.number() == ErrorNumber::Overflow,
                  "a refused text raises InvalidArgument or Overflow");
        return 0;
    }
    fuzzCheck(accepted, "Encrypt2 refuses a character outside its alphabet and a text too long");
    fuzzCheck(enciphered.size() == text.size(), "Encrypt2 keeps the length");
    fuzzCheck(inAlphabet(cipher, enciphered), "Encrypt2 keeps to its alphabet");
    fuzzCheck(cipher.Encrypt2(enciphered) == text, "Encrypt2 is its own inverse");
    cipher.setKeyString(text);
    fuzzCheck(cipher.Encrypt2(text) == enciphered, "the key string changes no result");
    return 0;
}
