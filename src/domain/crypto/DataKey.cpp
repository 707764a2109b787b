#include "domain/crypto/DataKey.h"

#include "domain/error/AppError.h"

#include <QVarLengthArray>
#include <sodium.h>
#include <span>

namespace {

constexpr std::size_t KeyBytes = crypto_aead_xchacha20poly1305_ietf_KEYBYTES;
constexpr std::size_t NonceBytes = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
constexpr std::size_t TagBytes = crypto_aead_xchacha20poly1305_ietf_ABYTES;

const QString ValuePrefix = QStringLiteral("qp1:");
const QString WrappedKeyPrefix = QStringLiteral("qk1:");
const QByteArray WrappedKeyContext = QByteArrayLiteral("quillock data key 1");

constexpr auto Base64Options = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;

const unsigned char* bytesOf(const QByteArray& bytes)
{
    return reinterpret_cast<const unsigned char*>(bytes.constData());
}

std::size_t sizeOf(const QByteArray& bytes)
{
    return static_cast<std::size_t>(bytes.size());
}

QByteArray randomNonce()
{
    QByteArray nonce(static_cast<qsizetype>(NonceBytes), '\0');
    randombytes_buf(nonce.data(), NonceBytes);
    return nonce;
}

// Bytes of the size that stored texts have as a rule, kept off the heap: a grid of many websites deciphers two values
// a row.
using ShortBytes = QVarLengthArray<unsigned char, 256>;

void appendBytes(ShortBytes& data, const QByteArray& bytes)
{
    data.append(bytesOf(bytes), bytes.size());
}

// The UTF-8 bytes of the text after the data; names and keys are plain ASCII as a rule, which needs no conversion.
void appendUtf8(ShortBytes& data, const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() >= 0x80) {
            data.resize(data.size() - i);
            appendBytes(data, text.toUtf8());
            return;
        }
        data.append(static_cast<unsigned char>(text[i].unicode()));
    }
}

// The place as associated data: each part after a zero byte, so that no two places give the same bytes.
ShortBytes associatedData(const StoredTextPlace& place)
{
    static const QByteArray head = QByteArrayLiteral("quillock stored text 1");
    ShortBytes data;
    appendBytes(data, head);
    for (const QString* part : {&place.table, &place.column, &place.rowKey}) {
        data.append('\0');
        appendUtf8(data, *part);
    }
    return data;
}

std::span<const unsigned char> spanOf(const QByteArray& bytes)
{
    return {bytesOf(bytes), sizeOf(bytes)};
}

std::span<const unsigned char> spanOf(const ShortBytes& bytes)
{
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

QByteArray encipher(const unsigned char* key, const QByteArray& nonce, const QByteArray& plain,
                    std::span<const unsigned char> associated)
{
    QByteArray sealed(plain.size() + static_cast<qsizetype>(TagBytes), '\0');
    crypto_aead_xchacha20poly1305_ietf_encrypt(reinterpret_cast<unsigned char*>(sealed.data()), nullptr, bytesOf(plain),
                                               sizeOf(plain), associated.data(), associated.size(), nullptr,
                                               bytesOf(nonce), key);
    return nonce + sealed;
}

// The plain bytes of nonce-and-cipher-text into `plain`, when they authenticate.
bool decipher(const unsigned char* key, std::span<const unsigned char> sealed,
              std::span<const unsigned char> associated, ShortBytes& plain)
{
    if (sealed.size() < NonceBytes + TagBytes)
        return false;
    plain.resize(static_cast<qsizetype>(sealed.size() - NonceBytes - TagBytes));
    return crypto_aead_xchacha20poly1305_ietf_decrypt(plain.data(), nullptr, nullptr, sealed.data() + NonceBytes,
                                                      sealed.size() - NonceBytes, associated.data(), associated.size(),
                                                      sealed.data(), key) == 0;
}

// The value of a character of Base64's URL alphabet, or -1.
int base64UrlValue(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return c - u'A';
    if (c >= u'a' && c <= u'z')
        return c - u'a' + 26;
    if (c >= u'0' && c <= u'9')
        return c - u'0' + 52;
    if (c == u'-')
        return 62;
    return c == u'_' ? 63 : -1;
}

// The bytes after the prefix into `bytes`, when the text has it and the rest is Base64 of the URL alphabet, without
// padding, as the encoder writes it.
bool decodedAfter(const QString& prefix, const QString& text, ShortBytes& bytes)
{
    if (!text.startsWith(prefix))
        return false;
    const QStringView digits = QStringView(text).mid(prefix.size());
    if (digits.size() % 4 == 1)
        return false;
    bytes.clear();
    bytes.reserve(digits.size() / 4 * 3 + 2);
    quint32 bits = 0;
    int pending = 0;
    for (const QChar digit : digits) {
        const int value = base64UrlValue(digit.unicode());
        if (value < 0)
            return false;
        bits = bits << 6 | quint32(value);
        if (++pending == 4) {
            for (const int shift : {16, 8, 0})
                bytes.append(static_cast<unsigned char>(bits >> shift));
            pending = 0;
        }
    }
    // two or three last digits hold one or two bytes, and bits to spare that must be 0: one value, one text
    const int spareBits = pending == 2 ? 4 : pending == 3 ? 2 : 0;
    if ((bits & ((1u << spareBits) - 1)) != 0)
        return false;
    bits >>= spareBits;
    for (int byte = pending - 2; byte >= 0; --byte)
        bytes.append(static_cast<unsigned char>(bits >> (8 * byte)));
    return true;
}

QString encoded(const QString& prefix, const QByteArray& bytes)
{
    return prefix + QString::fromLatin1(bytes.toBase64(Base64Options));
}

} // namespace

KeyDerivation KeyDerivation::fresh(quint64 passes, quint64 memoryBytes)
{
    StartSodium();
    KeyDerivation derivation{QByteArray(SaltBytes, '\0'), passes, memoryBytes};
    randombytes_buf(derivation.salt.data(), SaltBytes);
    if (!derivation.isValid())
        throw AppError(ErrorNumber::InvalidArgument,
                       QStringLiteral("The key derivation's cost (%1 passes over %2 bytes) is out of range.")
                           .arg(passes)
                           .arg(memoryBytes));
    return derivation;
}

bool KeyDerivation::isValid() const
{
    return salt.size() == SaltBytes && passes >= crypto_pwhash_argon2id_OPSLIMIT_MIN && passes <= MaxPasses &&
           memoryBytes >= crypto_pwhash_argon2id_MEMLIMIT_MIN && memoryBytes <= MaxMemoryBytes;
}

DataKey::DataKey() : m_key(KeyBytes)
{}

DataKey DataKey::generate()
{
    DataKey key;
    crypto_aead_xchacha20poly1305_ietf_keygen(key.m_key.data());
    return key;
}

SecretBytes DataKey::derive(const QByteArray& password, const KeyDerivation& derivation, int bytes)
{
    if (!derivation.isValid())
        throw AppError(ErrorNumber::InvalidArgument,
                       QStringLiteral("The stored key derivation is damaged: its salt or cost is out of range."));
    SecretBytes key(static_cast<std::size_t>(bytes));
    if (crypto_pwhash(key.data(), key.size(), password.constData(), sizeOf(password), bytesOf(derivation.salt),
                      derivation.passes, derivation.memoryBytes, crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw AppError(ErrorNumber::CannotCreateObject,
                       QStringLiteral("The master password's key could not be derived: %1 MiB of memory could not "
                                      "be had.")
                           .arg(derivation.memoryBytes >> 20));
    return key;
}

std::optional<DataKey> DataKey::unwrap(const QString& wrapped, const QString& password, const KeyDerivation& derivation)
{
    QByteArray passwordBytes = password.toUtf8();
    const SecretBytes wrappingKey = derive(passwordBytes, derivation);
    WipeBytes(passwordBytes);
    ShortBytes sealed;
    ShortBytes plain;
    const bool opened = decodedAfter(WrappedKeyPrefix, wrapped, sealed) &&
                        decipher(wrappingKey.data(), spanOf(sealed), spanOf(WrappedKeyContext), plain) &&
                        static_cast<std::size_t>(plain.size()) == KeyBytes;
    std::optional<DataKey> key;
    if (opened) {
        key = DataKey();
        std::copy_n(plain.constData(), KeyBytes, key->m_key.data());
    }
    sodium_memzero(plain.data(), static_cast<std::size_t>(plain.size()));
    return key;
}

QString DataKey::wrap(const QString& password, const KeyDerivation& derivation) const
{
    QByteArray passwordBytes = password.toUtf8();
    const SecretBytes wrappingKey = derive(passwordBytes, derivation);
    WipeBytes(passwordBytes);
    QByteArray plain(reinterpret_cast<const char*>(m_key.data()), static_cast<qsizetype>(KeyBytes));
    const QByteArray sealed = encipher(wrappingKey.data(), randomNonce(), plain, spanOf(WrappedKeyContext));
    WipeBytes(plain);
    return encoded(WrappedKeyPrefix, sealed);
}

QString DataKey::conceal(const StoredTextPlace& place, const QString& text) const
{
    QByteArray plain = text.toUtf8();
    const QByteArray sealed = encipher(m_key.data(), randomNonce(), plain, spanOf(associatedData(place)));
    WipeBytes(plain);
    return encoded(ValuePrefix, sealed);
}

std::optional<QString> DataKey::reveal(const StoredTextPlace& place, const QString& stored) const
{
    ShortBytes sealed;
    ShortBytes plain;
    std::optional<QString> text;
    if (decodedAfter(ValuePrefix, stored, sealed) &&
        decipher(m_key.data(), spanOf(sealed), spanOf(associatedData(place)), plain))
        text = QString::fromUtf8(reinterpret_cast<const char*>(plain.constData()), plain.size());
    sodium_memzero(plain.data(), static_cast<std::size_t>(plain.size()));
    return text;
}

bool DataKey::looksWrapped(const QString& wrapped)
{
    ShortBytes sealed;
    return decodedAfter(WrappedKeyPrefix, wrapped, sealed) &&
           static_cast<std::size_t>(sealed.size()) == NonceBytes + KeyBytes + TagBytes;
}

bool DataKey::looksProtected(const QString& stored)
{
    return stored.startsWith(ValuePrefix);
}

QByteArray DataKey::encipherWithNonce(const QByteArray& key, const QByteArray& nonce, const QByteArray& plain,
                                      const QByteArray& associated)
{
    if (sizeOf(key) != KeyBytes || sizeOf(nonce) != NonceBytes)
        throw AppError(ErrorNumber::InvalidArgument, QStringLiteral("A key or nonce of the wrong size."));
    return encipher(bytesOf(key), nonce, plain, spanOf(associated));
}
