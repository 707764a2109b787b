#include "domain/crypto/basConvert.h"

#include "domain/error/AppError.h"

#include <QList>

namespace basConvert {

namespace {

bool isSkipped(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// The value of a hexadecimal digit, or -1 for any other character.
int hexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    return -1;
}

std::uint8_t readHexPair(QChar first, QChar second)
{
    int value = 0;
    for (const QChar c : {first, second}) {
        if (isSkipped(c)) {
            continue;
        }
        const int digit = hexDigitValue(c);
        if (digit < 0) {
            break;
        }
        value = value * 16 + digit;
    }
    return static_cast<std::uint8_t>(value);
}

} // namespace

QByteArray HexToBytes(const QString& text)
{
    const QString even = text.size() % 2 == 0 ? text : QLatin1Char('0') + text;
    QByteArray bytes(even.size() / 2, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(readHexPair(even[2 * i], even[2 * i + 1]));
    }
    return bytes;
}

QByteArray textToAnsiBytes(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() > 0xFF) {
            throw AppError(ErrorNumber::InvalidArgument,
                           QStringLiteral("The text holds the character %1 at position %2, which has no byte in "
                                          "the Latin-1 code page.")
                               .arg(characterCode(text, i))
                               .arg(i + 1));
        }
    }
    return text.toLatin1();
}

QString ansiBytesToText(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}

QString characterCode(const QString& text, qsizetype index)
{
    const QChar c = text[index];
    uint code = c.unicode();
    if (c.isHighSurrogate() && index + 1 < text.size() && text[index + 1].isLowSurrogate()) {
        code = QChar::surrogateToUcs4(c, text[index + 1]);
    }
    return QStringLiteral("U+%1").arg(QString::number(code, 16).toUpper(), 4, QLatin1Char('0'));
}

QString characterName(const QString& text, qsizetype index)
{
    const QString code = characterCode(text, index);
    const qsizetype length = code.size() > 6 ? 2 : 1; // beyond U+FFFF: a pair
    const QString character = text.mid(index, length);
    const bool lonelyHalf = length == 1 && character[0].isSurrogate();
    if (!lonelyHalf && QChar::isPrint(character.toUcs4().value(0)))
        return QStringLiteral("\"%1\" (%2)").arg(character, code);
    return code;
}

} // namespace basConvert
