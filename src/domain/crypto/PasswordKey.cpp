#include "domain/crypto/PasswordKey.h"

#include "domain/error/AppError.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace PasswordKey {

QByteArray RandomSalt()
{
    QByteArray salt(SaltBytes, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(salt.data()), SaltBytes) != 1)
        throw AppError(ErrorNumber::CannotCreateObject,
                       QStringLiteral("The system's random source gave no random bytes for a password's salt."));
    return salt;
}

QByteArray Derive(const QString& password, const QByteArray& salt, int iterations)
{
    if (iterations < 1 || iterations > MaxIterations)
        throw AppError(
            ErrorNumber::InvalidArgument,
            QStringLiteral("A password key takes 1 to %1 iterations, not %2.").arg(MaxIterations).arg(iterations));
    const QByteArray utf8 = password.toUtf8();
    QByteArray key(KeyBytes, '\0');
    const int done =
        PKCS5_PBKDF2_HMAC(utf8.constData(), static_cast<int>(utf8.size()),
                          reinterpret_cast<const unsigned char*>(salt.constData()), static_cast<int>(salt.size()),
                          iterations, EVP_sha256(), KeyBytes, reinterpret_cast<unsigned char*>(key.data()));
    if (done != 1)
        throw AppError(ErrorNumber::CannotCreateObject, QStringLiteral("The password key could not be derived."));
    return key;
}

bool SameKey(const QByteArray& one, const QByteArray& other)
{
    return one.size() == other.size() && CRYPTO_memcmp(one.constData(), other.constData(), one.size()) == 0;
}

} // namespace PasswordKey
