#pragma once

// The values of FSUIPC's offset space that this system reads or fills: where each one is, how
// many bytes it takes and the unit FSUIPC keeps it in. One table for the client, the sampler,
// quorvane-sim, the hosted simulators and the tests, so that both ends of the link agree by
// construction on where a value is, and each end converts to and from FSUIPC's own units.
// Every value is little-endian.

#include <cstdint>

namespace quorvane::fsuipc {

// One value of the offset space.
struct Field {
  std::uint32_t offset;
  std::uint32_t size;  // bytes
};

// --- The connection handshake ---

// The server's version word: BCD digits and a letter number (0x36220002 is 3.622b).
inline constexpr Field kServerVersion{0x3304, 4};
// The simulator word: kSimulatorWordTag in the high 16 bits, the simulator's number in the low.
inline constexpr Field kSimulatorWord{0x3308, 4};
// Where a client writes its version, once, in the first pass of its handshake: inside the
// simulator word's high half, which a server must keep reading as its own.
inline constexpr Field kClientVersion{0x330A, 2};
inline constexpr std::uint32_t kSimulatorWordTag = 0xFADE;

// --- The aircraft, with the unit of each value ---

// The ground's altitude below the aircraft: signed, metres * 256.
inline constexpr Field kGroundAltitude{0x0020, 4};
// The magnetic variation, east positive: unsigned, degrees * 65536 / 360 (above 32768 is west).
inline constexpr Field kMagneticVariation{0x02A0, 2};
// The ground speed: unsigned, metres per second * 65536.
inline constexpr Field kGroundSpeed{0x02B4, 4};
// The latitude, north positive: signed, degrees * 10001750 * 2^32 / 90.
inline constexpr Field kLatitude{0x0560, 8};
// The longitude, east positive: signed, degrees * 2^64 / 360 (-180 degrees is -2^63).
inline constexpr Field kLongitude{0x0568, 8};
// The altitude above mean sea level: signed fixed point, whole metres in the high 32 bits and
// the fraction of a metre in the low 32 bits (metres * 2^32).
inline constexpr Field kAltitude{0x0570, 8};
// The true heading: unsigned, degrees * 2^32 / 360.
inline constexpr Field kTrueHeading{0x0580, 4};

// The units, as raw units per ordinary unit.
inline constexpr double kGroundAltitudeUnitsPerMetre = 256.0;
inline constexpr double kVariationUnitsPerTurn = 65536.0;
inline constexpr double kSpeedUnitsPerMetrePerSecond = 65536.0;
inline constexpr double kLatitudeUnitsPer90Degrees = 42957189152768000.0;  // 10001750 * 2^32
inline constexpr double kLongitudeUnitsPerTurn = 18446744073709551616.0;   // 2^64
inline constexpr double kAltitudeUnitsPerMetre = 4294967296.0;             // 2^32
inline constexpr double kHeadingUnitsPerTurn = 4294967296.0;               // 2^32

// Encoders from ordinary units into FSUIPC's, rounded to the nearest raw unit. A value beyond
// a signed field's range gives its nearest end; not a number gives 0.

// Metres * 256.
std::int32_t RawGroundAltitude(double metres);
// Degrees * 65536 / 360, any angle taken into [0, 360) first.
std::uint16_t RawMagneticVariation(double degrees);
// Metres per second * 65536, within [0, 2^32 - 1]; not a number gives 0.
std::uint32_t RawGroundSpeed(double metres_per_second);
// Degrees * 10001750 * 2^32 / 90.
std::int64_t RawLatitude(double degrees);
// Degrees * 2^64 / 360, any angle taken into [-180, 180) first.
std::int64_t RawLongitude(double degrees);
// Metres * 2^32.
std::int64_t RawAltitude(double metres);
// Degrees * 2^32 / 360, any angle taken into [0, 360) first; one that rounds up to a full turn
// is 0.
std::uint32_t RawTrueHeading(double degrees);

}  // namespace quorvane::fsuipc
