// How a fuzz target reports a broken property: a message on stderr and an
// abort, which libFuzzer records as a crash together with the input.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, what)                                                         \
    do {                                                                                    \
        if (!(condition)) {                                                                 \
            std::fprintf(stderr, "%s:%d: %s (%s)\n", __FILE__, __LINE__, what, #condition); \
            std::abort();                                                                   \
        }                                                                                   \
    } while (false)
