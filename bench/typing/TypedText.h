#pragma once

#include <QString>

// The texts the typing benchmarks type, and how much of them arrived.

// count characters drawn from the given ones in a fixed random order, the same on every run.
QString randomText(const QString& characters, int count);

// The characters that arrived in the right order: the longest common subsequence, so that one dropped
// character costs one, not all that follow it.
int charactersInOrder(const QString& expected, const QString& typed);
