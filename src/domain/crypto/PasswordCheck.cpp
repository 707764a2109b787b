#include "domain/crypto/PasswordCheck.h"

#include "domain/crypto/PasswordKey.h"
#include "domain/crypto/basBlowfishByteFns.h"
#include "domain/error/AppError.h"

#include <QStringList>
#include <algorithm>

namespace {

const QString Marker = QStringLiteral("quillock-password-check");
const QString DerivedKeyForm = QStringLiteral("2");
const QString Derivation = QStringLiteral("pbkdf2-hmac-sha256");
const QString BlowfishLineBreak = QStringLiteral("\r\n");

[[noreturn]] void refuse(const QString& reason)
{
    throw AppError(ErrorNumber::InvalidArgument, reason);
}

// Base64 of exactly the expected number of bytes, or an empty array.
QByteArray decodedBase64(const QString& text, qsizetype expectedBytes)
{
    const auto decoded = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != expectedBytes || decoded.decoded.toBase64() != text.toLatin1())
        return {};
    return decoded.decoded;
}

// The UTF-8 byte order mark, read one character per byte.
const QString ByteOrderMark = QStringLiteral("\u00ef\u00bb\u00bf");

bool isWhiteSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Whether the text is a derived-key line, however an editor may have touched it: its first word, after any byte
// order mark and white space, is the marker. A Blowfish-form file never begins so.
bool looksLikeDerivedKeyLine(const QString& fileText)
{
    qsizetype start = fileText.startsWith(ByteOrderMark) ? ByteOrderMark.size() : 0;
    while (start < fileText.size() && isWhiteSpace(fileText[start]))
        ++start;
    const qsizetype end = start + Marker.size();
    return fileText.mid(start, Marker.size()) == Marker && end < fileText.size() && isWhiteSpace(fileText[end]);
}

// What an editor or another system did to a derived-key line, so that its key no longer reads; nothing when the
// line is as written.
QString touchedLine(const QString& fileText)
{
    if (fileText.startsWith(ByteOrderMark))
        return QStringLiteral("it begins with a byte order mark, which an editor added.");
    if (isWhiteSpace(fileText.front()))
        return QStringLiteral("it begins with a blank or a line break.");
    if (fileText.contains(QLatin1Char('\r')))
        return QStringLiteral("its line ends in a carriage return and line feed, as Windows ends lines, where a line "
                              "feed alone ends it.");
    if (fileText.contains(QLatin1Char('\t')))
        return QStringLiteral("its parts are separated by tabs, where single blanks separate them.");
    return {};
}

bool isDecimal(const QString& text)
{
    return !text.isEmpty() && text.size() <= 9 &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

bool PasswordCheck::isDerivedKeyText(const QString& text)
{
    return looksLikeDerivedKeyLine(text);
}

PasswordCheck PasswordCheck::fromFileText(const QString& fileText)
{
    if (looksLikeDerivedKeyLine(fileText)) {
        if (const QString damage = touchedLine(fileText); !damage.isEmpty())
            refuse(QStringLiteral("it is damaged: ") + damage);
        return fromDerivedKeyLine(fileText);
    }
    if (fileText.isEmpty())
        refuse(QStringLiteral("it is empty."));
    PasswordCheck check;
    check.m_cipherText = fileText.chopped(std::min(fileText.size(), BlowfishLineBreak.size()));
    if (check.m_cipherText.size() < basBlowfishByteFns::BlockSize)
        refuse(QStringLiteral("it holds %1 bytes, too few for a password check file.").arg(fileText.size()));
    return check;
}

PasswordCheck PasswordCheck::fromDerivedKeyLine(const QString& fileText)
{
    const QStringList fields = fileText.chopped(1).split(QLatin1Char(' '));
    if (!fileText.endsWith(QLatin1Char('\n')) || fields.size() < 2)
        refuse(QStringLiteral("it is damaged: its line is cut short."));
    if (fields[1] != DerivedKeyForm)
        refuse(QStringLiteral("it is of form %1, which this version of Quillock does not know; a newer version wrote "
                              "it.")
                   .arg(fields[1].left(20)));
    if (fields.size() != 6 || fields[2] != Derivation)
        refuse(QStringLiteral("it is damaged: its line does not have the parts a check file's line has."));
    PasswordCheck check;
    check.m_form = Form::DerivedKey;
    check.m_iterations = isDecimal(fields[3]) ? fields[3].toInt() : 0;
    check.m_salt = decodedBase64(fields[4], PasswordKey::SaltBytes);
    check.m_key = decodedBase64(fields[5], PasswordKey::KeyBytes);
    if (check.m_iterations < 1 || check.m_iterations > PasswordKey::MaxIterations)
        refuse(QStringLiteral("it is damaged: its iteration count is not a number from 1 to %1.")
                   .arg(PasswordKey::MaxIterations));
    if (check.m_salt.isEmpty() || check.m_key.isEmpty())
        refuse(QStringLiteral("it is damaged: its salt or key is not Base64 of the right length."));
    return check;
}

QString PasswordCheck::newFileText(const QString& password)
{
    const QByteArray salt = PasswordKey::RandomSalt();
    const QByteArray key = PasswordKey::Derive(password, salt, PasswordKey::Iterations);
    return QStringLiteral("%1 %2 %3 %4 %5 %6\n")
        .arg(Marker, DerivedKeyForm, Derivation, QString::number(PasswordKey::Iterations),
             QString::fromLatin1(salt.toBase64()), QString::fromLatin1(key.toBase64()));
}

bool PasswordCheck::opensWith(const QString& answer) const
{
    if (m_form == Form::DerivedKey)
        return PasswordKey::SameKey(PasswordKey::Derive(answer, m_salt, m_iterations), m_key);
    QString plain;
    try {
        plain = basBlowfishByteFns::DecryptText(m_cipherText, answer);
    } catch (const AppError&) {
        return false;
    }
    const qsizetype lineEnd = plain.indexOf(BlowfishLineBreak);
    return lineEnd >= 0 && plain.first(lineEnd) == answer;
}
