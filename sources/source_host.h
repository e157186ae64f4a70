#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "net/socket_services.h"
#include "sources/reading_provider.h"
#include "sources/simulator_source.h"

namespace quorvane::sources {

// The time sources are judged by; a fake in tests.
class SourceClock {
 public:
  virtual ~SourceClock() = default;
  virtual SourceTime Now() = 0;
};

// The steady clock.
class SteadySourceClock final : public SourceClock {
 public:
  SourceTime Now() override { return std::chrono::steady_clock::now(); }
};

// Woken whenever a source takes a datagram: lets a caller wait for the first reading of any of
// several sources without polling.
class ReadingSignal {
 public:
  // Counts one more datagram taken and wakes the waiters.
  void Notify();
  // Waits until ready() holds or timeout has passed; ready() is asked again after each datagram.
  // True when it held.
  bool WaitFor(std::chrono::milliseconds timeout, const std::function<bool()>& ready);

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::uint64_t generation_ = 0;
};

// Runs one source on a UDP socket of its own, on a thread of its own: receives the source's
// datagrams, sends what the source asks to send, and keeps the source's state for readers on
// other threads. The socket is opened by Start and closed by Stop, after the source's farewell
// (its subscriptions ended).
class SourceHost final : public ReadingProvider {
 public:
  // The biggest datagram taken whole; anything longer is cut and counted as oversized.
  static constexpr std::size_t kReceiveBuffer = 2048;
  // The longest the thread waits before it looks at the time again.
  static constexpr std::uint32_t kLongestWaitMs = 1000;

  SourceHost(net::SocketServices& sockets, std::unique_ptr<SimulatorSource> source,
             const net::Endpoint& local, SourceClock& clock, ReadingSignal* signal = nullptr);
  ~SourceHost() override;  // stops
  SourceHost(const SourceHost&) = delete;
  SourceHost& operator=(const SourceHost&) = delete;

  // Opens the socket on the local endpoint and starts the thread. False with a message when the
  // socket cannot be opened (for example the port is in use); true when already running.
  bool Start(std::string& error);
  // Sends the source's farewell, ends the thread and closes the socket. Harmless when stopped.
  void Stop();
  bool Running() const { return thread_.joinable(); }
  // The endpoint the socket is bound to (its port chosen by the system when asked for port 0).
  net::Endpoint LocalEndpoint() const { return bound_; }

  const char* Name() const { return name_; }
  std::string Description() const;
  // The source's latest reading while current (at the clock's now).
  std::optional<SourceReading> Current() const override;
  DatagramCounts Counts() const;
  // Waits up to timeout for the source to have a current reading.
  bool WaitForReading(std::chrono::milliseconds timeout);

 private:
  void Run();
  void SendAll(const std::vector<OutgoingDatagram>& datagrams);

  net::SocketServices& sockets_;
  std::unique_ptr<SimulatorSource> source_;
  const char* name_;
  net::Endpoint local_;
  net::Endpoint bound_;
  SourceClock& clock_;
  ReadingSignal own_signal_;
  ReadingSignal& signal_;
  mutable std::mutex mutex_;  // guards source_
  net::SocketServices::Socket socket_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace quorvane::sources
