#pragma once

#include <QString>

// Whether the field cipher can store the text: every character must be in its alphabet. When one is not, the
// user is told which box holds it and which character it is, and false comes back; the box is left as it is,
// for the user to mend. fieldName names the box as its label does ("Website Name").
bool FieldCipherCanStore(const QString& text, const QString& fieldName);

// Whether the text is short enough to be stored: no stored text is longer than the field cipher can hold. When it
// is longer, the user is told which box holds it, how long it is and how long it may be, and false comes back; the
// box is left as it is.
bool StoredTextFits(const QString& text, const QString& fieldName);
