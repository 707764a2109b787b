#pragma once

#include <cstdio>
#include <cstdlib>

// A property a harness asserts: when it does not hold, the harness says which and aborts, which libFuzzer
// reports as a finding with the input that caused it.
inline void fuzzCheck(bool holds, const char* property)
{
    if (holds)
        return;
    std::fprintf(stderr, "Property broken: %s\n", property);
    std::abort();
}
