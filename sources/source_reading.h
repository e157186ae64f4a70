#pragma once

#include <cstdint>
#include <optional>

namespace quorvane::sources {

// The aircraft as a simulator last reported it, in ordinary units.
struct SourceReading {
  double latitude = 0.0;                  // degrees, north positive
  double longitude = 0.0;                 // degrees, east positive
  double altitude = 0.0;                  // metres above mean sea level
  double true_heading = 0.0;              // degrees
  double magvar = 0.0;                    // magnetic variation, degrees, east positive
  double ground_speed = 0.0;              // metres per second
  std::optional<double> ground_altitude;  // metres, when the simulator tells it
};

// How the datagrams a source received were taken. Each datagram is counted once: as accepted
// (it changed the reading), or under the reason it was ignored for.
struct DatagramCounts {
  std::uint64_t accepted = 0;
  std::uint64_t wrong_sender = 0;   // not from the configured simulator's address
  std::uint64_t truncated = 0;      // shorter than its kind needs
  std::uint64_t oversized = 0;      // longer than its kind allows
  std::uint64_t wrong_header = 0;   // not a kind this source knows, or not in its format
  std::uint64_t bad_value = 0;      // a value not a number, infinite or out of range
  std::uint64_t unknown_index = 0;  // only values of subscriptions this source never made
  // Values left out of datagrams (accepted or not): unknown indexes, bad values.
  std::uint64_t ignored_values = 0;

  // Every datagram received.
  std::uint64_t Received() const {
    return accepted + wrong_sender + truncated + oversized + wrong_header + bad_value +
           unknown_index;
  }
};

}  // namespace quorvane::sources
