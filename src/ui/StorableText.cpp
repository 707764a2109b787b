#include "ui/StorableText.h"

#include "domain/crypto/basConvert.h"
#include "domain/crypto/dsEncrypt.h"
#include "platform/dialogs/Dialogs.h"
#include "system/app/basModule1.h"

#include <QLocale>

namespace {

// The character at the index, a surrogate pair counting as the one character it encodes: shown when it prints,
// and by its code point either way.
QString characterName(const QString& text, qsizetype index)
{
    const QString code = basConvert::characterCode(text, index);
    const qsizetype length = code.size() > 6 ? 2 : 1; // beyond U+FFFF: a pair
    const QString character = text.mid(index, length);
    const bool lonelyHalf = length == 1 && character[0].isSurrogate();
    if (!lonelyHalf && QChar::isPrint(character.toUcs4().value(0)))
        return QStringLiteral("\"%1\" (%2)").arg(character, code);
    return code;
}

} // namespace

bool FieldCipherCanStore(const QString& text, const QString& fieldName)
{
    // The alphabet is fixed: a cipher of its own serves when the shared one is not made yet.
    static const dsEncrypt cipher;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (cipher.alphabet().contains(text[i]))
            continue;
        dialogs().msgBox(QStringLiteral("The %1 cannot hold the character %2. Stored texts may hold letters, digits, "
                                        "blanks and the punctuation of a plain keyboard only.")
                             .arg(fieldName, characterName(text, i)),
                         Dialogs::vbExclamation);
        return false;
    }
    return true;
}

bool StoredTextFits(const QString& text, const QString& fieldName)
{
    if (text.size() <= dsEncrypt::MaxTextLength)
        return true;
    const QLocale english(QLocale::English);
    dialogs().msgBox(
        QStringLiteral("The %1 is too long: it holds %2 characters, and a stored text may hold at most %3. "
                       "Nothing was saved.")
            .arg(fieldName, english.toString(text.size()), english.toString(dsEncrypt::MaxTextLength)),
        Dialogs::vbExclamation);
    return false;
}
