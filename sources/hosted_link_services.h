#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/link_services.h"
#include "simulator/offset_space.h"
#include "sources/reading_provider.h"

namespace quorvane::sources {

// The link's platform services answered inside this process by an FSUIPC-like server whose
// offset space holds a simulator's latest reading, so that the link, the sampler and everything
// above them work unchanged on X-Plane or FlightGear:
// - the "server window" (class UIPCMAIN) is always there; the message, the atom and the
//   mapping are kept in this process, the block in ordinary memory;
// - each exchange stores the current reading into the offset space in FSUIPC's units and
//   serves the block's requests from it (reply 1);
// - when the simulator has stopped sending, the exchange fails as a time-out (last error 0,
//   so the link reports "IPC timed out all retries") at once, without waiting: nothing the
//   link could wait for would bring the simulator back sooner. SilentExchanges() counts these.
// Sleep does nothing: the server answers within the call, there is nothing to give time to.
class HostedLinkServices final : public LinkServices {
 public:
  explicit HostedLinkServices(const ReadingProvider& provider) : provider_(provider) {}

  Handle FindServerWindow(const std::string& class_name) override;
  void ReleaseServerWindow(Handle) override {}
  std::uint32_t RegisterMessage(const std::string& name) override;
  std::uint16_t AddAtom(const std::string& text) override;
  void DeleteAtom(std::uint16_t) override {}
  std::uint32_t CurrentProcessId() override { return 1; }
  Handle CreateMapping(const std::string& name, std::uint32_t size) override;
  std::uint8_t* MapView(Handle mapping) override;
  void UnmapView(std::uint8_t*) override {}
  void CloseMapping(Handle mapping) override;
  bool SendMessageTimeout(Handle window, std::uint32_t message, std::uintptr_t wparam,
                          std::intptr_t lparam, std::uint32_t timeout_ms,
                          std::uintptr_t& reply) override;
  std::uint32_t LastError() override { return last_error_; }
  void Sleep(std::uint32_t) override {}
  // Never: an exchange here never waits, so there is no wait to give up.
  bool Interrupted() override { return false; }

  // Exchanges refused because the simulator had stopped sending.
  std::uint64_t SilentExchanges() const { return silent_exchanges_; }

 private:
  static constexpr Handle kServer = 1;
  static constexpr Handle kMapping = 1;

  const ReadingProvider& provider_;
  std::vector<std::uint8_t> block_;
  sim::OffsetSpace space_;
  std::uint32_t last_error_ = 0;
  std::uint64_t silent_exchanges_ = 0;
};

}  // namespace quorvane::sources
