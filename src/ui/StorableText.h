#pragma once

#include <QString>

// Whether the field cipher can store the text: every character must be in its alphabet. When one is not, the
// user is told which box holds it and which character it is, and false comes back; the box is left as it is,
// for the user to mend. fieldName names the box as its label does ("Website Name").
bool FieldCipherCanStore(const QString& text, const QString& fieldName);
