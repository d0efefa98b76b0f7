// Checks of the fuzz targets: a failed check is a finding, reported on
// standard error and ended with abort(), so that libFuzzer keeps the input.
#pragma once

#include <stdio.h>
#include <stdlib.h>

#include <string>

namespace fuzz {

// Reports `what` and aborts.
[[noreturn]] void Fail(const std::string& what);

}  // namespace fuzz

// Aborts with a printf-style message when `condition` does not hold.
#define FUZZ_CHECK(condition, ...)                                                        \
    do {                                                                                  \
        if (!(condition)) {                                                               \
            fprintf(stderr, "%s:%d: check failed: %s: ", __FILE__, __LINE__, #condition); \
            fprintf(stderr, __VA_ARGS__);                                                 \
            fputc('\n', stderr);                                                          \
            abort();                                                                      \
        }                                                                                 \
    } while (0)
