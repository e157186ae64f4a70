#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "net/endpoint.h"
#include "sources/source_reading.h"

namespace quorvane::sources {

using SourceTime = std::chrono::steady_clock::time_point;

// A reading older than this is not current: the simulator has stopped sending (quit, crashed,
// frozen, or loading for longer than it usually does).
inline constexpr std::chrono::milliseconds kSilenceLimit{3000};

// A datagram a source wants sent.
struct OutgoingDatagram {
  net::Endpoint to;
  std::vector<std::uint8_t> bytes;
};

// What a source wants sent now, and when it next wants to be asked (none: never on its own).
struct SendSchedule {
  std::vector<OutgoingDatagram> datagrams;
  std::optional<SourceTime> next;
};

// The addresses a source takes datagrams from: any, or exactly one.
struct SenderFilter {
  std::optional<std::uint32_t> address;  // none: any sender
  bool Accepts(const net::Endpoint& sender) const { return !address || sender.address == *address; }
};

// One simulator's side of a network interface, without any I/O or threads: it takes the
// datagrams received from the simulator and keeps what they said, says what to send (such as
// subscriptions), and tells the latest complete reading while it is current. Times are passed
// in, so that tests run it on a fake clock. Not safe for concurrent use (the host locks it).
class SimulatorSource {
 public:
  explicit SimulatorSource(SenderFilter filter) : filter_(filter) {}
  virtual ~SimulatorSource() = default;
  SimulatorSource(const SimulatorSource&) = delete;
  SimulatorSource& operator=(const SimulatorSource&) = delete;

  // The simulator's name: "X-Plane", "FlightGear".
  virtual const char* Name() const = 0;
  // The name and, once the simulator has said it, its version: "X-Plane 12.1.0".
  virtual std::string Description() const = 0;
  // Takes one datagram from sender, received at now; truncated: it was longer than the bytes
  // given. A datagram that is not the simulator's or not usable changes nothing but the counts.
  virtual void Receive(const net::Endpoint& sender, std::span<const std::uint8_t> bytes,
                       bool truncated, SourceTime now) = 0;
  // What to send at now.
  virtual SendSchedule Due(SourceTime /*now*/) { return {{}, std::nullopt}; }
  // What to send when the source closes (ending its subscriptions).
  virtual std::vector<OutgoingDatagram> Farewell() { return {}; }
  // The latest complete reading, or nothing when there is none younger than kSilenceLimit.
  virtual std::optional<SourceReading> Current(SourceTime now) const = 0;
  // How the datagrams received so far were taken.
  const DatagramCounts& Counts() const { return counts_; }

 protected:
  // True when sender is the simulator's address; otherwise counts the datagram as from a wrong
  // sender.
  bool FromSimulator(const net::Endpoint& sender);

  DatagramCounts counts_;

 private:
  SenderFilter filter_;
};

// True when `at` is known and no more than kSilenceLimit before now.
bool Recent(const std::optional<SourceTime>& at, SourceTime now);

}  // namespace quorvane::sources
