#include "ui/StorableText.h"

#include "domain/crypto/dsEncrypt.h"
#include "platform/dialogs/Dialogs.h"
#include "system/app/basModule1.h"

#include <QLocale>

bool FieldCipherCanStore(const QString& text, const QString& fieldName)
{
    // The alphabet is fixed: a cipher of its own serves when the shared one is not made yet.
    static const dsEncrypt cipher;
    const QString foreign = cipher.foreignCharacter(text);
    if (foreign.isEmpty())
        return true;
    dialogs().msgBox(QStringLiteral("The %1 cannot hold the character %2. Stored texts may hold letters, digits, "
                                    "blanks and the punctuation of a plain keyboard only.")
                         .arg(fieldName, foreign),
                     Dialogs::vbExclamation);
    return false;
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
