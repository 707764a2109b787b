#include "domain/steps/OneTimeCode.h"

#include <QUrl>
#include <QUrlQuery>
#include <openssl/evp.h>
#include <openssl/hmac.h>

namespace {

// The Base32 alphabet of RFC 4648; blanks between groups and '=' padding at the end are allowed.
std::variant<QByteArray, QString> base32Decoded(const QString& text)
{
    QString letters = text;
    letters.remove(u' ');
    while (letters.endsWith(u'='))
        letters.chop(1);
    if (letters.isEmpty())
        return QStringLiteral("holds no secret.");
    QByteArray bytes;
    quint32 buffer = 0;
    int bits = 0;
    for (const QChar c : letters) {
        const char16_t upper = c.toUpper().unicode();
        int value = -1;
        if (upper >= u'A' && upper <= u'Z')
            value = upper - u'A';
        else if (upper >= u'2' && upper <= u'7')
            value = upper - u'2' + 26;
        if (value < 0)
            return QStringLiteral("holds the character \"%1\", which Base32 does not use (it uses A to Z and 2 to 7).")
                .arg(c);
        buffer = (buffer << 5) | static_cast<quint32>(value);
        bits += 5;
        if (bits >= 8) {
            bits -= 8;
            bytes.append(static_cast<char>((buffer >> bits) & 0xFF));
        }
    }
    if (bytes.isEmpty())
        return QStringLiteral("is too short: it holds less than one byte.");
    return bytes;
}

std::variant<OneTimeCode::Algorithm, QString> algorithmNamed(const QString& name)
{
    const QString upper = name.toUpper();
    if (upper.isEmpty() || upper == QLatin1String("SHA1"))
        return OneTimeCode::Algorithm::Sha1;
    if (upper == QLatin1String("SHA256"))
        return OneTimeCode::Algorithm::Sha256;
    if (upper == QLatin1String("SHA512"))
        return OneTimeCode::Algorithm::Sha512;
    return QStringLiteral("names the algorithm \"%1\"; Quillock knows SHA1, SHA256 and SHA512.").arg(name);
}

// A whole number parameter of the link in its range; its default when the link leaves it out.
std::variant<int, QString> numberParameter(const QUrlQuery& query, const QString& name, int fallback, int least,
                                           int most)
{
    if (!query.hasQueryItem(name))
        return fallback;
    const QString text = query.queryItemValue(name);
    bool whole = false;
    const int value = text.toInt(&whole);
    if (!whole || value < least || value > most)
        return QStringLiteral("gives %1 as \"%2\"; it must be a whole number from %3 to %4.")
            .arg(name, text)
            .arg(least)
            .arg(most);
    return value;
}

const EVP_MD* digestOf(OneTimeCode::Algorithm algorithm)
{
    switch (algorithm) {
    case OneTimeCode::Algorithm::Sha256:
        return EVP_sha256();
    case OneTimeCode::Algorithm::Sha512:
        return EVP_sha512();
    case OneTimeCode::Algorithm::Sha1:
        break;
    }
    return EVP_sha1();
}

} // namespace

std::variant<OneTimeCode, QString> OneTimeCode::fromText(const QString& text)
{
    const QString trimmed = text.trimmed();
    OneTimeCode code;
    QString secret = trimmed;
    if (trimmed.startsWith(QLatin1String("otpauth:"), Qt::CaseInsensitive)) {
        const QUrl link(trimmed, QUrl::StrictMode);
        if (!link.isValid() || link.scheme().toLower() != QLatin1String("otpauth"))
            return QStringLiteral("is not a link that can be read.");
        if (link.host().toLower() != QLatin1String("totp"))
            return QStringLiteral("is a link of \"%1\" codes; Quillock types time-based (totp) codes only.")
                .arg(link.host());
        const QUrlQuery query(link);
        if (!query.hasQueryItem(QStringLiteral("secret")))
            return QStringLiteral("is a link without its secret.");
        secret = query.queryItemValue(QStringLiteral("secret"), QUrl::FullyDecoded);
        const auto algorithm = algorithmNamed(query.queryItemValue(QStringLiteral("algorithm")));
        if (const QString* problem = std::get_if<QString>(&algorithm))
            return *problem;
        code.m_algorithm = std::get<Algorithm>(algorithm);
        const auto digits = numberParameter(query, QStringLiteral("digits"), 6, MinDigits, MaxDigits);
        if (const QString* problem = std::get_if<QString>(&digits))
            return *problem;
        code.m_digits = std::get<int>(digits);
        const auto period = numberParameter(query, QStringLiteral("period"), 30, MinPeriodSeconds, MaxPeriodSeconds);
        if (const QString* problem = std::get_if<QString>(&period))
            return *problem;
        code.m_periodSeconds = std::get<int>(period);
    }
    auto key = base32Decoded(secret);
    if (const QString* problem = std::get_if<QString>(&key))
        return *problem;
    code.m_key = std::get<QByteArray>(key);
    return code;
}

QString OneTimeCode::codeAt(qint64 unixSeconds) const
{
    quint64 counter = static_cast<quint64>(unixSeconds / m_periodSeconds);
    unsigned char message[8];
    for (int i = 7; i >= 0; --i) {
        message[i] = static_cast<unsigned char>(counter & 0xFF);
        counter >>= 8;
    }
    unsigned char mac[EVP_MAX_MD_SIZE];
    unsigned int macLength = 0;
    HMAC(digestOf(m_algorithm), m_key.constData(), static_cast<int>(m_key.size()), message, sizeof message, mac,
         &macLength);
    // dynamic truncation: four bytes from the offset that the last byte's low bits give
    const unsigned offset = mac[macLength - 1] & 0x0F;
    const quint32 binary = (quint32(mac[offset] & 0x7F) << 24) | (quint32(mac[offset + 1]) << 16) |
                           (quint32(mac[offset + 2]) << 8) | quint32(mac[offset + 3]);
    quint32 modulus = 1;
    for (int i = 0; i < m_digits; ++i)
        modulus *= 10;
    return QStringLiteral("%1").arg(binary % modulus, m_digits, 10, QLatin1Char('0'));
}

qint64 OneTimeCode::millisecondsLeftAt(qint64 unixMilliseconds) const
{
    const qint64 periodMs = qint64(m_periodSeconds) * 1000;
    return periodMs - unixMilliseconds % periodMs;
}
