#pragma once

#include <QString>

// Helpers for building statement text by concatenation.

// The source with every occurrence of the text to find replaced; the search ignores case and never
// looks inside a replacement it has just inserted.
QString ReplaceText(const QString& source, const QString& find, const QString& replacement);

// The text with every single quote doubled, ready to stand between single quotes in a statement.
QString FixQuotes(const QString& text);
