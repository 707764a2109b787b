#include "domain/crypto/dsEncrypt.h"

#include "domain/crypto/basConvert.h"
#include "domain/error/AppError.h"

#include <algorithm>

namespace {

// The printable ASCII characters other than the double quote, in the cipher's own fixed order.
constexpr char16_t PrintableArrangement[] = u"]N:[7Zo2!LHycXt,gn*4S^C_Ok+V\\e`PD<mdpx8UM{$b Q}-#i0I~FG'"
                                            u"53Af/hWja;z9&rBwJu.lq%6ET(>@sYKR|v1=)?";

// The key is joined from these pieces and reversed at run time, so that it is never one literal
// that a look through the program file would show.
constexpr char16_t KeyPieces[][6] = {u"north", u"wind", u"copp", u"er"};

} // namespace

dsEncrypt::dsEncrypt()
{
    m_alphabet = QString::fromUtf16(PrintableArrangement) + QStringLiteral("\r\n\"");

    m_table[1] = m_alphabet;
    for (int row = 2; row <= AlphabetLength; ++row) {
        const QString& above = m_table[row - 1];
        m_table[row] = above.mid(1) + above.front();
    }

    m_indexOfAscii.fill(-1);
    for (int i = 0; i < m_alphabet.size(); ++i) {
        m_indexOfAscii[m_alphabet[i].unicode()] = i;
    }
}

void dsEncrypt::setKeyString(const QString& sKeyString)
{
    m_key = sKeyString;
}

const QString& dsEncrypt::tableRow(int row) const
{
    if (row < 1 || row > AlphabetLength) {
        throw AppError(ErrorNumber::SubscriptOutOfRange,
                       QStringLiteral("The cipher table has rows 1 to %1, not row %2.").arg(AlphabetLength).arg(row));
    }
    return m_table[row];
}

QString dsEncrypt::Encrypt2(const QString& mstext)
{
    checkText(mstext);
    buildKey();

    // Row search of the table, in closed form: the row whose character at the text character's place
    // is the key character starts with the alphabet character at (key index − text index) mod 97.
    QString result(mstext.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < mstext.size(); ++i) {
        const int textIndex = alphabetIndex(mstext[i]);
        const int keyIndex = alphabetIndex(m_key[i % KeyLength]);
        result[i] = m_alphabet[(keyIndex - textIndex + AlphabetLength) % AlphabetLength];
    }
    return result;
}

void dsEncrypt::buildKey()
{
    QString joined;
    for (const char16_t* piece : KeyPieces) {
        joined += QString::fromUtf16(piece);
    }
    std::reverse(joined.begin(), joined.end());
    m_key = joined;
}

// Checks the whole text before any of it is processed.
void dsEncrypt::checkText(const QString& text) const
{
    if (text.size() > MaxTextLength) {
        throw AppError(ErrorNumber::Overflow,
                       QStringLiteral("The text is %1 characters long; the field cipher takes at most %2.")
                           .arg(text.size())
                           .arg(MaxTextLength));
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (alphabetIndex(text[i]) < 0) {
            throw AppError(ErrorNumber::InvalidArgument,
                           QStringLiteral("The text holds the character %1 at position %2, which the field cipher "
                                          "cannot encipher.")
                               .arg(basConvert::characterCode(text, i))
                               .arg(i + 1));
        }
    }
}

QString dsEncrypt::foreignCharacter(const QString& text) const
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (alphabetIndex(text[i]) < 0)
            return basConvert::characterName(text, i);
    }
    return {};
}

int dsEncrypt::alphabetIndex(QChar c) const
{
    const char16_t code = c.unicode();
    return code < m_indexOfAscii.size() ? m_indexOfAscii[code] : -1;
}
