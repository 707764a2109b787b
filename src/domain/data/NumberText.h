#pragma once

#include <QString>
#include <optional>

// The number a text begins with: blanks, tabs and line feeds anywhere are ignored; a sign, digits, one
// decimal point and an exponent are read up to the first character that cannot continue the number.
// A text that does not begin with a number gives 0. Raises AppError (Overflow) for a number too large
// for a double.
double NumberTextBeginsWith(const QString& text);

// A count or a number of seconds as a replay reads it: a text that is a finite number as a whole, blanks around
// it aside, in the C locale's form without group separators ("2", " 2.5 ", "1e3", "-5"). Empty and partly
// numeric texts ("3 times", "1,5"), and other white space ("\u00a01", "\t2"), give no value. A text stored
// with its blanks trimmed (TextValue) lands in a number column as this number, so the editors accept what this
// reads and nothing else.
std::optional<double> CountValue(const QString& text);

// A stored Yes/No value read through its text form: "True" and "False" by name, otherwise any number
// other than 0 is true; Null (the empty text) is false.
bool BooleanFromText(const QString& text);

// A number as statements and grid cells write it: a whole number without decimals ("10", "7000").
QString NumberToText(double number);
