#pragma once

#include <string>

// The groups of cases of the Windows test, each reporting through Check.
void runKeySenderCases();
// The program associated with ".htm" must be expectedProgram (the recording browser).
void runShellCases(const std::string& expectedProgram);
void runRegularFileCases();
