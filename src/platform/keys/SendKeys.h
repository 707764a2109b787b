#pragma once

#include <QString>

// The program's keystroke facility: key strings (see KeyString.h) typed into the focused window.

// Queues the keys of the key string for the window that has the keyboard focus and returns at once.
// Raises AppError when the string breaks the syntax or no keys can be sent on this desktop.
void sendKeys(const QString& keyString);

// The key string that types the character as itself: the syntax's reserved characters come braced.
QString literalKeyString(QChar character);
