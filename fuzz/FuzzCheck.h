#pragma once
// A property of a fuzz target that does not hold stops the process, so the
// fuzzer keeps the input as a crash and a unit test replaying it fails.
#include <cstdio>
#include <cstdlib>

inline void FuzzCheck(bool holds, const char* property)
{
    if (holds)
        return;
    std::fprintf(stderr, "fuzz property violated: %s\n", property);
    std::abort();
}
