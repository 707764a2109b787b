#pragma once

#include <QByteArray>
#include <QString>

// What the master-password check file holds, in either of its two forms, and whether an answer opens it.
//
// The derived-key form, written from now on, is one line of text:
//     quillock-password-check 2 pbkdf2-hmac-sha256 <iterations> <salt> <key>
// followed by a line feed, the salt and key in Base64: the key is derived from the password and the salt
// (PasswordKey), so the file holds nothing of the password, not even its length, and an answer opens it when it
// derives the same key. The form number says which rule made the file.
//
// The Blowfish form of earlier versions: the password and a carriage return and line feed, enciphered with the
// Blowfish text mode under a key read from the password's characters as hexadecimal pairs, then the writer's
// carriage return and line feed. Its key ignores every character that is not a hexadecimal digit, so such a file
// gives most passwords away; it is still read, so that older files keep working, and is to be rewritten in the
// derived-key form once its password is known.
//
// The two forms cannot be taken for each other: a derived-key file begins with its marker word, and a Blowfish one
// begins with cipher text. A derived-key line that an editor or another system touched (a byte order mark, white
// space before it, Windows line ends, tabs between its parts) is named as damaged, not read as the other form.
class PasswordCheck
{
public:
    enum class Form
    {
        Blowfish,
        DerivedKey
    };

    // Recognises the whole of a check file, one character per byte. Raises AppError (InvalidArgument), the
    // description saying what is wrong in words that follow "The password check file ... cannot be used: ",
    // when the text is no check file: empty, too short to hold a Blowfish block, a derived-key line that is
    // damaged (touched by an editor too) or of a form this program does not know.
    static PasswordCheck fromFileText(const QString& fileText);

    // Whether the text is meant as a derived-key line (begins with its marker word, however touched since).
    static bool isDerivedKeyText(const QString& text);

    // The whole of a new check file of the password, in the derived-key form with a fresh salt, one character per
    // byte. Raises AppError when the system gives no random salt.
    static QString newFileText(const QString& password);

    Form form() const { return m_form; }

    // True when the answer is the password the file was written for. In the Blowfish form an answer that cannot
    // be a key (none of its pairs gives a byte, or more than 56 bytes) opens nothing.
    bool opensWith(const QString& answer) const;

private:
    PasswordCheck() = default;
    static PasswordCheck fromDerivedKeyLine(const QString& fileText);

    Form m_form = Form::Blowfish;
    QString m_cipherText; // the Blowfish form's enciphered part
    int m_iterations = 0;
    QByteArray m_salt;
    QByteArray m_key;
};
