#pragma once

#include <string>
#include <vector>

// The groups of cases of the Windows test, each reporting through Check.
// With altGrLayout, the layout must have "@" on AltGr, else that case is skipped.
void runKeySenderCases(bool altGrLayout);
// The program associated with ".htm" must be expectedProgram (the recording browser), its command giving it the
// association arguments before the link.
void runShellCases(const std::string& expectedProgram, const std::vector<std::string>& associationArguments);
void runRegularFileCases();
