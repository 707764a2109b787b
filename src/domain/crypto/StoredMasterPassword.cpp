#include "domain/crypto/StoredMasterPassword.h"

#include "domain/crypto/PasswordKey.h"
#include "domain/crypto/dsEncrypt.h"
#include "domain/error/AppError.h"

StoredMasterPassword StoredMasterPassword::fromStored(const QString& stored, dsEncrypt& cipher)
{
    StoredMasterPassword password;
    if (stored.isEmpty())
        return password;
    if (!PasswordCheck::isDerivedKeyText(stored)) {
        password.m_oldFormPassword = cipher.Encrypt2(stored);
        return password;
    }
    try {
        password.m_check = PasswordCheck::fromFileText(stored);
    } catch (const AppError& error) {
        throw AppError(error.number(), QStringLiteral("The master password kept in the data file's settings cannot be "
                                                      "checked: ") +
                                           error.description());
    }
    return password;
}

QString StoredMasterPassword::verifierOf(const QString& password)
{
    return password.isEmpty() ? QString() : PasswordCheck::newFileText(password);
}

QString StoredMasterPassword::upToDate(const QString& stored, dsEncrypt& cipher)
{
    const StoredMasterPassword password = fromStored(stored, cipher);
    return password.m_check ? stored : verifierOf(password.m_oldFormPassword);
}

bool StoredMasterPassword::opensWith(const QString& answer) const
{
    if (answer.isEmpty())
        return false;
    if (m_check)
        return m_check->opensWith(answer);
    return PasswordKey::SameKey(answer.toUtf8(), m_oldFormPassword.toUtf8());
}
