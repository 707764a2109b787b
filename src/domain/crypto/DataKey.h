#pragma once

#include "domain/crypto/SecretBytes.h"

#include <QByteArray>
#include <QString>
#include <optional>

// How the master password becomes the key that wraps the data key: Argon2id (libsodium's crypto_pwhash) with a
// salt, a number of passes and an amount of memory. They are stored beside the wrapped key, so that a file keeps
// opening after the choice for new files changes.
struct KeyDerivation
{
    static constexpr int SaltBytes = 16;
    // What a stored derivation may ask for: more would hold the program for minutes or take the machine's memory.
    static constexpr quint64 MaxPasses = 10;
    static constexpr quint64 MaxMemoryBytes = quint64(1) << 30;

    QByteArray salt;
    quint64 passes = 0;
    quint64 memoryBytes = 0;

    // A fresh salt with the given cost; by default 4 passes over 256 MiB, which take 0.5 to 0.7 s on a 2-core machine
    // (3 passes, libsodium's "moderate" limits, took 0.5 s when the machine was idle). Raises AppError when the cost
    // is out of range.
    static KeyDerivation fresh(quint64 passes = 4, quint64 memoryBytes = quint64(256) << 20);

    // Whether the salt has its size and the cost lies between libsodium's least and the maxima above.
    bool isValid() const;
};

// Where a stored text lives. It is bound to the value, so that a value moved to another table, column or row is
// refused.
struct StoredTextPlace
{
    QString table;
    QString column;
    QString rowKey;
};

// The random key under which a protected data file's stored texts are enciphered, with XChaCha20-Poly1305: each
// value with a fresh random nonce and its place as associated data, so that a value that was altered, cut short,
// moved or enciphered under another key is refused. The key lives only in guarded memory (SecretBytes).
//
// A stored value is the text "qp1:" followed by the Base64 (URL alphabet, no padding) of the nonce and the cipher
// text with its tag; the wrapped key is "qk1:" followed by the same of the data key enciphered under the key that
// KeyDerivation makes of the master password.
class DataKey
{
public:
    // A new random key. Raises AppError when libsodium cannot start.
    static DataKey generate();

    // The data key that the wrapped text holds, when the password opens it; nothing for a wrong password or a
    // wrapped key that was altered. Raises AppError for a derivation that is not valid, and when the derivation
    // cannot have its memory.
    static std::optional<DataKey> unwrap(const QString& wrapped, const QString& password,
                                         const KeyDerivation& derivation);
    // The key wrapped under the password, with a fresh nonce. Raises AppError as unwrap does.
    QString wrap(const QString& password, const KeyDerivation& derivation) const;

    // The text enciphered for its place, with a fresh nonce.
    QString conceal(const StoredTextPlace& place, const QString& text) const;
    // The text that the stored value holds for its place; nothing when the value does not authenticate there.
    std::optional<QString> reveal(const StoredTextPlace& place, const QString& stored) const;

    // Whether the text has the form of a protected value (it may still fail to authenticate).
    static bool looksProtected(const QString& stored);
    // Whether the text has the form and length of a wrapped key (it may still fail to authenticate).
    static bool looksWrapped(const QString& wrapped);

    // The known-answer check of the cipher alone: the value enciphered with the nonce given, for tests against the
    // standard's vectors.
    static QByteArray encipherWithNonce(const QByteArray& key, const QByteArray& nonce, const QByteArray& plain,
                                        const QByteArray& associated);
    // The derivation alone: the 32-byte key (or `bytes` bytes) that the password makes under the derivation.
    static SecretBytes derive(const QByteArray& password, const KeyDerivation& derivation, int bytes = 32);

private:
    DataKey();

    SecretBytes m_key;
};
