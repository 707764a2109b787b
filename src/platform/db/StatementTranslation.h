#pragma once

#include <QString>

// Turns a statement written for the Jet engine into SQLite's dialect: "SELECT Top N ..." becomes
// "SELECT ..." without the blanks and semicolons at its end, and "LIMIT N" on a line of its own after it;
// "SELECT @@Identity" asks for the key of the last row inserted on the same connection. Every other text
// passes unchanged.
QString translateStatement(const QString& statement);
