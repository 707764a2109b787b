#pragma once

#include <QString>

#include <array>

// The field cipher of the stored texts: a polyalphabetic substitution (the Beaufort form of the
// Vigenère table) over a fixed 97-character alphabet under a fixed built-in key. Encrypt2 is its own
// inverse: the same call enciphers a plain text and deciphers an enciphered one. An enciphered text
// has the length of its plain text and may hold quotes, carriage returns and line feeds.
//
// The alphabet and the key must never change: every stored value depends on them.
class dsEncrypt
{
public:
    static constexpr int AlphabetLength = 97;
    static constexpr int KeyLength = 15;
    static constexpr int MaxTextLength = 32767;

    // Class_Initialize: builds the alphabet and the substitution table.
    dsEncrypt();

    // KeyString: stores the text as the key, which Encrypt2 replaces with the built-in key at once,
    // so it changes no result.
    void setKeyString(const QString& sKeyString);

    // Enciphers or deciphers the text. Raises InvalidArgument, naming the character and its position,
    // for a character outside the alphabet, and Overflow for a text longer than 32,767 characters.
    QString Encrypt2(const QString& mstext);

    const QString& alphabet() const { return m_alphabet; }
    // The first character of the text outside the alphabet, named for a message ("\"é\" (U+00E9)"); empty when
    // there is none. A stored text that holds one was not written by this cipher, and cannot be deciphered.
    QString foreignCharacter(const QString& text) const;

    // Row 1 to 97 of the table: row k is the alphabet turned left by k − 1 characters.
    const QString& tableRow(int row) const;

private:
    void buildKey();
    void checkText(const QString& text) const;
    int alphabetIndex(QChar c) const;

    QString m_alphabet;
    std::array<QString, AlphabetLength + 1> m_table; // row 0 stays empty
    std::array<int, 128> m_indexOfAscii{};           // 0-based alphabet index, or -1
    QString m_key;
};
