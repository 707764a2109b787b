#include "domain/crypto/DataKey.h"

#include "domain/error/AppError.h"

#include <sodium.h>

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

// The UTF-8 bytes of the text after the data; names and keys are plain ASCII as a rule, which needs no conversion.
void appendUtf8(QByteArray& data, const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() >= 0x80) {
            data.chop(i);
            data += text.toUtf8();
            return;
        }
        data += static_cast<char>(text[i].unicode());
    }
}

// The place as associated data: each part after a zero byte, so that no two places give the same bytes. A grid of
// many websites deciphers two values a row, so this is built without a conversion where it can.
QByteArray associatedData(const StoredTextPlace& place)
{
    static const QByteArray head = QByteArrayLiteral("quillock stored text 1");
    QByteArray data;
    data.reserve(head.size() + place.table.size() + place.column.size() + place.rowKey.size() + 3);
    data += head;
    for (const QString* part : {&place.table, &place.column, &place.rowKey}) {
        data += '\0';
        appendUtf8(data, *part);
    }
    return data;
}

QByteArray encipher(const unsigned char* key, const QByteArray& nonce, const QByteArray& plain,
                    const QByteArray& associated)
{
    QByteArray sealed(plain.size() + static_cast<qsizetype>(TagBytes), '\0');
    crypto_aead_xchacha20poly1305_ietf_encrypt(reinterpret_cast<unsigned char*>(sealed.data()), nullptr, bytesOf(plain),
                                               sizeOf(plain), bytesOf(associated), sizeOf(associated), nullptr,
                                               bytesOf(nonce), key);
    return nonce + sealed;
}

// The plain bytes of nonce-and-cipher-text, or nothing when they do not authenticate.
std::optional<QByteArray> decipher(const unsigned char* key, const QByteArray& sealed, const QByteArray& associated)
{
    if (sizeOf(sealed) < NonceBytes + TagBytes)
        return std::nullopt;
    QByteArray plain(sealed.size() - static_cast<qsizetype>(NonceBytes + TagBytes), '\0');
    const auto* cipherText = bytesOf(sealed) + NonceBytes;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(reinterpret_cast<unsigned char*>(plain.data()), nullptr, nullptr,
                                                   cipherText, sizeOf(sealed) - NonceBytes, bytesOf(associated),
                                                   sizeOf(associated), bytesOf(sealed), key) != 0)
        return std::nullopt;
    return plain;
}

// The bytes after the prefix, when the text has it and the rest is Base64 of the URL alphabet throughout.
std::optional<QByteArray> decodedAfter(const QString& prefix, const QString& text)
{
    if (!text.startsWith(prefix))
        return std::nullopt;
    auto decoded = QByteArray::fromBase64Encoding(QStringView(text).mid(prefix.size()).toLatin1(),
                                                  Base64Options | QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    return *decoded;
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
    const std::optional<QByteArray> sealed = decodedAfter(WrappedKeyPrefix, wrapped);
    if (!sealed)
        return std::nullopt;
    std::optional<QByteArray> plain = decipher(wrappingKey.data(), *sealed, WrappedKeyContext);
    if (!plain || sizeOf(*plain) != KeyBytes) {
        if (plain)
            WipeBytes(*plain);
        return std::nullopt;
    }
    DataKey key;
    std::copy_n(bytesOf(*plain), KeyBytes, key.m_key.data());
    WipeBytes(*plain);
    return key;
}

QString DataKey::wrap(const QString& password, const KeyDerivation& derivation) const
{
    QByteArray passwordBytes = password.toUtf8();
    const SecretBytes wrappingKey = derive(passwordBytes, derivation);
    WipeBytes(passwordBytes);
    QByteArray plain(reinterpret_cast<const char*>(m_key.data()), static_cast<qsizetype>(KeyBytes));
    const QByteArray sealed = encipher(wrappingKey.data(), randomNonce(), plain, WrappedKeyContext);
    WipeBytes(plain);
    return encoded(WrappedKeyPrefix, sealed);
}

QString DataKey::conceal(const StoredTextPlace& place, const QString& text) const
{
    QByteArray plain = text.toUtf8();
    const QByteArray sealed = encipher(m_key.data(), randomNonce(), plain, associatedData(place));
    WipeBytes(plain);
    return encoded(ValuePrefix, sealed);
}

std::optional<QString> DataKey::reveal(const StoredTextPlace& place, const QString& stored) const
{
    const std::optional<QByteArray> sealed = decodedAfter(ValuePrefix, stored);
    if (!sealed)
        return std::nullopt;
    std::optional<QByteArray> plain = decipher(m_key.data(), *sealed, associatedData(place));
    if (!plain)
        return std::nullopt;
    QString text = QString::fromUtf8(*plain);
    WipeBytes(*plain);
    return text;
}

bool DataKey::looksWrapped(const QString& wrapped)
{
    const std::optional<QByteArray> sealed = decodedAfter(WrappedKeyPrefix, wrapped);
    return sealed && sizeOf(*sealed) == NonceBytes + KeyBytes + TagBytes;
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
    return encipher(bytesOf(key), nonce, plain, associated);
}
