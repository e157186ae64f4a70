#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "sources/datagram_verdict.h"

namespace quorvane::sources {

// X-Plane's built-in UDP interface (X-Plane 11 and 12, port 49000 by default): little-endian,
// packed. Requests go to X-Plane's port; X-Plane answers to the sender's address and port.

inline constexpr std::size_t kRposSize = 69;          // "RPOS4", 3 doubles, 10 floats
inline constexpr std::size_t kRrefRequestSize = 413;  // "RREF\0", 2 int32, char[400]
inline constexpr std::size_t kRrefMaxPairs = 183;     // X-Plane's most per reply
inline constexpr std::size_t kDatarefNameSize = 400;
inline constexpr std::size_t kXPlaneMaxDatagram = 5 + kRrefMaxPairs * 8;

// "RPOS\0" and the rate in whole datagrams per second as decimal digits and a NUL; rate 0 stops.
std::vector<std::uint8_t> RposRequest(int rate);
// "RREF\0", the rate (0 stops), the index X-Plane is to tag values with, and the dataref's name
// NUL-padded to 400 bytes (longer names are cut to 399 characters).
std::vector<std::uint8_t> RrefRequest(int rate, std::int32_t index, std::string_view dataref);

// The 4-byte kind of an X-Plane datagram ("RPOS", "RREF"), or an empty view when it is shorter.
std::string_view DatagramKind(std::span<const std::uint8_t> datagram);

// One position datagram: "RPOS" and a fifth byte ('4' as X-Plane sends it, or NUL as documented),
// then longitude, latitude, elevation (m above sea level) as doubles, then the height above the
// ground (m), pitch, true heading, roll (degrees), the velocities east, up and south (m/s) and
// three rotation rates as floats.
struct RposPacket {
  Verdict verdict = Verdict::WrongHeader;
  double longitude = 0.0;
  double latitude = 0.0;
  double elevation = 0.0;
  double height_above_ground = 0.0;
  double true_heading = 0.0;
};

// Accepted only for exactly 69 bytes with the header above, a latitude within [-90, 90], a
// longitude within [-180, 180], a heading within [-360, 360] and finite elevation and height
// within +-1,000,000 m. Shorter: Truncated; longer: Oversized; otherwise BadValue.
RposPacket DecodeRpos(std::span<const std::uint8_t> datagram);

// One value of a subscription: the index it was asked for under, and its value (X-Plane sends
// every dataref as a float).
struct RrefValue {
  std::int32_t index = 0;
  float value = 0.0f;
};

// One subscription reply: "RREF" and a fifth byte (',' or NUL), then 1 to 183 pairs of an int32
// index and a float value. The values are returned as they are, not-a-number included: whether
// an index and its value are usable is the subscriber's business.
struct RrefPacket {
  Verdict verdict = Verdict::WrongHeader;
  std::vector<RrefValue> values;
};

// No pairs or a partial pair: Truncated; more than 183 pairs: Oversized; a wrong header:
// WrongHeader.
RrefPacket DecodeRref(std::span<const std::uint8_t> datagram);

}  // namespace quorvane::sources
