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

// Stores a reading as quorvane-sim stores its aircraft: at the offsets FSUIPC keeps these
// values at, in FSUIPC's own units (link/fsuipc_offsets.h), the ground's altitude as 0 when the
// simulator does not tell it. Also stores the two version words.
void StoreReading(const SourceReading& reading, sim::OffsetSpace& space);

}  // namespace quorvane::sources
