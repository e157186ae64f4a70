#include "link/link_module.h"

#include "link/platform_link_services.h"

namespace quorvane {

FsuipcLink& ProcessLink() {
  // Constructed after the services it uses, so it is destroyed (and closed) before them.
  static FsuipcLink link(PlatformLinkServices());
  return link;
}

bool LinkOpen(std::uint32_t requested_simulator, LinkResult& result) {
  return ProcessLink().Open(requested_simulator, result);
}

bool LinkQueueRead(std::uint32_t offset, std::uint32_t size, void* destination,
                   LinkResult& result) {
  return ProcessLink().QueueRead(offset, size, destination, result);
}

bool LinkQueueWrite(std::uint32_t offset, std::uint32_t size, const void* source,
                    LinkResult& result) {
  return ProcessLink().QueueWrite(offset, size, source, result);
}

bool LinkProcess(LinkResult& result) {
  return ProcessLink().Process(result);
}

void LinkClose() {
  ProcessLink().Close();
}

std::uint32_t ServerVersion() {
  return ProcessLink().ServerVersion();
}
std::uint32_t SimulatorVersion() {
  return ProcessLink().SimulatorVersion();
}
std::uint32_t ClientVersion() {
  return ProcessLink().ClientVersion();
}

}  // namespace quorvane
