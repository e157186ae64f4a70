#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "simulator/offset_space.h"
#include "simulator/sim_options.h"

namespace quorvane::sim {

// One line of the exchange log: the block's length up to and including its terminator, a blank,
// and those bytes in lower-case hexadecimal.
std::string ExchangeLogLine(const std::uint8_t* block, std::uint32_t length);

// The platform-independent server: the offset space, the aircraft's values, the fault modes and
// the log. An endpoint hands it each block it receives.
class SimulatorCore {
 public:
  using Clock = std::chrono::steady_clock;

  explicit SimulatorCore(SimOptions options);
  ~SimulatorCore();
  SimulatorCore(const SimulatorCore&) = delete;
  SimulatorCore& operator=(const SimulatorCore&) = delete;

  // Opens the log (appending); false with a message when it cannot be opened.
  bool OpenLog(std::string& error);
  // Serves one block of block_size bytes at `now`. Returns the reply value, or nothing when the
  // server hangs.
  std::optional<std::uint32_t> Exchange(std::uint8_t* block, std::size_t block_size,
                                        Clock::time_point now);
  // True once --exit-after exchanges have been answered.
  bool Finished() const;
  const SimOptions& Options() const { return options_; }
  const OffsetSpace& Space() const { return space_; }
  // The last client version written to 0x330A before the latest exchange (0 if none).
  std::uint16_t ClientVersionWritten() const { return client_version_; }

 private:
  void Refresh(Clock::time_point now);

  SimOptions options_;
  OffsetSpace space_;
  Clock::time_point start_;
  std::uint64_t exchanges_ = 0;
  std::uint16_t client_version_ = 0;
  std::FILE* log_ = nullptr;
};

}  // namespace quorvane::sim
