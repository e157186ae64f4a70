#pragma once

#include "simulator/simulator_core.h"

namespace quorvane::sim {

// Listens as a server of the core's window class and answers requests until killed (or until
// the core is finished). Returns the process exit status; prints its own errors.
int RunEndpoint(SimulatorCore& core);

}  // namespace quorvane::sim
