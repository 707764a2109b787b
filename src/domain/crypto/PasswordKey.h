#pragma once

#include <QByteArray>
#include <QString>

// Keys derived from a password with PBKDF2-HMAC-SHA256 (OpenSSL's libcrypto): every character of the password
// counts, a random salt makes each derivation its own, and the iteration count makes every guess cost time.
namespace PasswordKey {

constexpr int SaltBytes = 16;
constexpr int KeyBytes = 32;
// The iteration count of new derivations: the count recommended for PBKDF2-HMAC-SHA256 in 2023.
constexpr int Iterations = 600000;
// The most iterations a derivation takes: a stored count above it is not believed (it would hold the program
// for minutes).
constexpr int MaxIterations = 10000000;

// SaltBytes bytes from the system's cryptographic random source. Raises AppError when there is none.
QByteArray RandomSalt();

// The KeyBytes-byte key of the password (its UTF-8 bytes) under the salt, after the given number of iterations (1 to
// MaxIterations). Raises AppError when the count is out of range or the library fails.
QByteArray Derive(const QString& password, const QByteArray& salt, int iterations);

// Whether two keys are the same, in a time that does not tell where they differ.
bool SameKey(const QByteArray& one, const QByteArray& other);

} // namespace PasswordKey
