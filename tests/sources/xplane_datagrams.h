#pragma once

// X-Plane's datagrams written out byte by byte, as the tests' stand-in X-Plane sends them.

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace quorvane::testing {

inline void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t bits) {
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<std::uint8_t>(bits >> shift));
  }
}

inline void AppendFloat(std::vector<std::uint8_t>& out, float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  AppendU32(out, bits);
}

inline void AppendDouble(std::vector<std::uint8_t>& out, double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  AppendU32(out, static_cast<std::uint32_t>(bits));
  AppendU32(out, static_cast<std::uint32_t>(bits >> 32));
}

// A position datagram ("RPOS4", 69 bytes) of an aircraft at the given place and true heading.
inline std::vector<std::uint8_t> RposDatagram(double latitude, double longitude, double elevation,
                                              float height, float heading, char fifth = '4') {
  std::vector<std::uint8_t> out = {'R', 'P', 'O', 'S', static_cast<std::uint8_t>(fifth)};
  AppendDouble(out, longitude);
  AppendDouble(out, latitude);
  AppendDouble(out, elevation);
  AppendFloat(out, height);
  AppendFloat(out, 3.5f);  // pitch
  AppendFloat(out, heading);
  for (int i = 0; i < 7; ++i) {  // roll, three velocities, three rates
    AppendFloat(out, 0.25f);
  }
  return out;
}

// A subscription reply ("RREF,") carrying the given index and value pairs.
inline std::vector<std::uint8_t> RrefDatagram(
    const std::vector<std::pair<std::int32_t, float>>& pairs) {
  std::vector<std::uint8_t> out = {'R', 'R', 'E', 'F', ','};
  for (const auto& [index, value] : pairs) {
    AppendU32(out, static_cast<std::uint32_t>(index));
    AppendFloat(out, value);
  }
  return out;
}

}  // namespace quorvane::testing
