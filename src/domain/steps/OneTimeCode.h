#pragma once

#include <QByteArray>
#include <QString>
#include <variant>

// The secret of a time-based one-time code (RFC 6238), as a site shows it when its second factor is set up: the
// Base32 secret alone ("JBSW Y3DP EHPK 3PXP", any case, blanks and padding allowed), or the whole link
// "otpauth://totp/<label>?secret=<Base32>&algorithm=SHA1|SHA256|SHA512&digits=6..8&period=<seconds>", whose
// parameters other than the secret may be left out (SHA1, 6 digits, 30 seconds). The codes are HMACs of OpenSSL's
// libcrypto, which the program links already.
class OneTimeCode
{
public:
    enum class Algorithm
    {
        Sha1,
        Sha256,
        Sha512
    };
    static constexpr int MinDigits = 6;
    static constexpr int MaxDigits = 8;
    static constexpr int MinPeriodSeconds = 5;
    static constexpr int MaxPeriodSeconds = 3600;

    // The secret the text holds, or what is wrong with it, in words that follow "The one-time code secret ".
    static std::variant<OneTimeCode, QString> fromText(const QString& text);

    // The code for the moment given (seconds since 1970, UTC), with its leading zeros.
    QString codeAt(qint64 unixSeconds) const;
    // How many whole and part seconds of the code's period are left at the moment (milliseconds since 1970).
    qint64 millisecondsLeftAt(qint64 unixMilliseconds) const;

    Algorithm algorithm() const { return m_algorithm; }
    int digits() const { return m_digits; }
    int periodSeconds() const { return m_periodSeconds; }

private:
    OneTimeCode() = default;

    QByteArray m_key;
    Algorithm m_algorithm = Algorithm::Sha1;
    int m_digits = 6;
    int m_periodSeconds = 30;
};
