// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef FUZZING_H
#define FUZZING_H

// What the fuzz targets share: a failed expectation stops the run with the
// place it failed, so that libFuzzer keeps the input.

#include <cstdio>
#include <cstdlib>

namespace Fuzzing {

// The fuzzers' stand-in for ending the program: unwinds to the harness.
struct ProgramEnded
{
};

[[noreturn]] inline void fail(const char *what, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    std::abort();
}

} // namespace Fuzzing

#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            Fuzzing::fail(#condition, __FILE__, __LINE__);                                                             \
    } while (false)

#endif
