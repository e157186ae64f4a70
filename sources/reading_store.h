#pragma once

#include <cstdint>

#include "simulator/offset_space.h"
#include "sources/source_reading.h"

namespace quorvane::sources {

// The version words a hosted simulator answers the link's handshake with: the lowest server
// version the link accepts, and the simulator tag with simulator number 0 ("not an FSUIPC
// simulator"). The program shows the simulator's own name instead of these.
inline constexpr std::uint32_t kHostedServerVersion = 0x19980005;
inline constexpr std::uint32_t kHostedSimulatorWord = 0xFADE0000;

// Stores a reading at the offsets FSUIPC keeps these values at, in FSUIPC's own units: the
// latitude as degrees * 10001750 * 2^32 / 90, the longitude as degrees * 2^64 / 360, the
// altitude in metres as 32.32 fixed point, the true heading as degrees * 2^32 / 360, the
// magnetic variation as degrees * 65536 / 360, the ground speed as metres per second * 65536 and,
// when known, the ground's altitude as metres * 256. Also stores the two version words.
void StoreReading(const SourceReading& reading, sim::OffsetSpace& space);

}  // namespace quorvane::sources
