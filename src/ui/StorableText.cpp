#include "ui/StorableText.h"

#include "domain/crypto/dsEncrypt.h"
#include "platform/dialogs/Dialogs.h"
#include "system/app/basModule1.h"

#include <QLocale>

namespace {

QString characterName(QChar character)
{
    if (character.isPrint())
        return QStringLiteral("\"%1\"").arg(character);
    return QStringLiteral("U+%1").arg(character.unicode(), 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

bool FieldCipherCanStore(const QString& text, const QString& fieldName)
{
    // The alphabet is fixed: a cipher of its own serves when the shared one is not made yet.
    static const dsEncrypt cipher;
    for (const QChar character : text) {
        if (cipher.alphabet().contains(character))
            continue;
        dialogs().msgBox(QStringLiteral("The %1 cannot hold the character %2. Stored texts may hold letters, digits, "
                                        "blanks and the punctuation of a plain keyboard only.")
                             .arg(fieldName, characterName(character)),
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
