#pragma once

#include <QString>

// The number a text begins with: blanks, tabs and line feeds anywhere are ignored; a sign, digits, one
// decimal point and an exponent are read up to the first character that cannot continue the number.
// A text that does not begin with a number gives 0. Raises AppError (Overflow) for a number too large
// for a double.
double NumberTextBeginsWith(const QString& text);

// A stored Yes/No value read through its text form: "True" and "False" by name, otherwise any number
// other than 0 is true; Null (the empty text) is false.
bool BooleanFromText(const QString& text);

// A number as statements and grid cells write it: a whole number without decimals ("10", "7000").
QString NumberToText(double number);
