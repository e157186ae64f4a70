#pragma once

#include <cstdint>

#include "sources/source_reading.h"

namespace quorvane::sources {

// What a decoder made of one datagram.
enum class Verdict : std::uint8_t {
  Accepted,
  Truncated,
  Oversized,
  WrongHeader,
  BadValue,
  UnknownIndex,
};

// Adds one datagram of the given verdict to the counts.
void Count(Verdict verdict, DatagramCounts& counts);

}  // namespace quorvane::sources
