#pragma once

// What every fuzz target provides, and the check its assertions use.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Runs one input; libFuzzer calls it, and so does the corpus replayer of a plain build.
// Returns 0; a failed check aborts the process.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// Aborts with the condition's text when it does not hold, in every build type (assert() is
// compiled out where NDEBUG is set); libFuzzer then saves the input as a crash.
#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)
