#pragma once

#include <ostream>

#include "sources/datagram_verdict.h"

namespace quorvane::sources {

// Shows a verdict by name in test failures.
inline void PrintTo(Verdict verdict, std::ostream* out) {
  static const char* const kNames[] = {"Accepted",    "Truncated", "Oversized",
                                       "WrongHeader", "BadValue",  "UnknownIndex"};
  *out << kNames[static_cast<int>(verdict)];
}

}  // namespace quorvane::sources
