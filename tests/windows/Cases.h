#pragma once

#include <string>

// The groups of cases of the Windows test, each reporting through Check.
// With altGrLayout, the layout must have "@" on AltGr, else that case is skipped.
void runKeySenderCases(bool altGrLayout);
// The program associated with ".htm" must be expectedProgram (the recording browser).
void runShellCases(const std::string& expectedProgram);
void runRegularFileCases();
