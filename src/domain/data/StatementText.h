#pragma once

#include <QString>
#include <functional>

// Helpers for building statement text by concatenation.

// The source with every occurrence of the text to find replaced; the search ignores case and never
// looks inside a replacement it has just inserted.
QString ReplaceText(const QString& source, const QString& find, const QString& replacement);

// The text with every single quote doubled, ready to stand between single quotes in a statement.
QString FixQuotes(const QString& text);

// The text without the blanks at its ends (other white space is kept).
QString TrimBlanks(const QString& text);

// A text value of a statement: the text trimmed of blanks; Null when nothing is left, otherwise the text
// between single quotes with its quotes doubled.
QString TextValue(const QString& text);
// How a stored text is enciphered for its column and row.
using TextEncipherment = std::function<QString(const QString&)>;
// The same for an enciphered column: the trimmed text is enciphered before it is quoted.
QString EncipheredValue(const QString& text, const TextEncipherment& encipher);
// An enciphered column kept exactly as typed, blanks included: Null only for the empty text.
QString EncipheredValueAsTyped(const QString& text, const TextEncipherment& encipher);
// A value kept as it stands, blanks included: Null when empty, otherwise quoted with its quotes doubled.
QString QuotedValue(const QString& text);
