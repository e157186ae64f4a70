#include "sources/reading_store.h"

#include "link/fsuipc_offsets.h"
#include "simulator/aircraft_state.h"

namespace quorvane::sources {

void StoreReading(const SourceReading& reading, sim::OffsetSpace& space) {
  space.Put(fsuipc::kServerVersion, kHostedServerVersion);
  space.Put(fsuipc::kSimulatorWord, kHostedSimulatorWord);
  // The ground's altitude, which not every simulator tells, reads as 0 when unknown.
  sim::StoreAircraft(
      {reading.latitude, reading.longitude, reading.true_heading, reading.magvar,
       reading.ground_speed, reading.ground_altitude.value_or(0.0), reading.altitude},
      space);
}

}  // namespace quorvane::sources
