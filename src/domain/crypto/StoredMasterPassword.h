#pragma once

#include "domain/crypto/PasswordCheck.h"

#include <QString>
#include <optional>

class dsEncrypt;

// The master password as the settings row keeps it. Written from now on: a verifier, the line of a password check
// file in the derived-key form (PasswordCheck), which gives nothing of the password away. Files of earlier versions
// kept the field cipher's form, which anyone can read back; a file that could not be brought up to date (one that
// cannot be written) still holds it, and it is still checked. Null or the empty text: no master password.
class StoredMasterPassword
{
public:
    // No master password.
    StoredMasterPassword() = default;

    // Recognises the stored value. Raises AppError (InvalidArgument), saying what is wrong, when a verifier is
    // damaged or of a form this program does not know.
    static StoredMasterPassword fromStored(const QString& stored, dsEncrypt& cipher);

    // The value to store for the password: its verifier, with a fresh salt; the empty text (stored as Null) for the
    // empty password. Raises AppError when the system gives no random salt.
    static QString verifierOf(const QString& password);

    // The stored value as this version stores it: a verifier stays as it is, the field cipher's form becomes the
    // verifier of the password it holds. Raises AppError as fromStored does.
    static QString upToDate(const QString& stored, dsEncrypt& cipher);

    bool isSet() const { return m_check.has_value() || !m_oldFormPassword.isEmpty(); }

    // Whether the answer is the master password, exactly, in a time that does not tell where an answer differs.
    // The empty answer never is.
    bool opensWith(const QString& answer) const;

private:
    std::optional<PasswordCheck> m_check;
    QString m_oldFormPassword; // deciphered from the field cipher's form
};
