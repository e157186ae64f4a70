#pragma once

// The process's one link to the simulator, as module-wide operations over the platform's
// services. The link is closed by the module's teardown when the process ends.

#include <cstdint>

#include "link/fsuipc_link.h"
#include "link/link_result.h"

namespace quorvane {

// The process-wide link instance.
FsuipcLink& ProcessLink();

bool LinkOpen(std::uint32_t requested_simulator, LinkResult& result);
bool LinkQueueRead(std::uint32_t offset, std::uint32_t size, void* destination, LinkResult& result);
bool LinkQueueWrite(std::uint32_t offset, std::uint32_t size, const void* source,
                    LinkResult& result);
bool LinkProcess(LinkResult& result);
void LinkClose();

std::uint32_t ServerVersion();
std::uint32_t SimulatorVersion();
std::uint32_t ClientVersion();

}  // namespace quorvane
