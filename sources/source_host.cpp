#include "sources/source_host.h"

#include <algorithm>
#include <vector>

namespace quorvane::sources {

void ReadingSignal::Notify() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++generation_;
  }
  changed_.notify_all();
}

bool ReadingSignal::WaitFor(std::chrono::milliseconds timeout, const std::function<bool()>& ready) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    const std::uint64_t seen = generation_;
    // ready() takes the sources' own locks: never while holding this one.
    lock.unlock();
    if (ready()) {
      return true;
    }
    lock.lock();
    if (!changed_.wait_until(lock, deadline, [&] { return generation_ != seen; })) {
      return false;
    }
  }
}

SourceHost::SourceHost(net::SocketServices& sockets, std::unique_ptr<SimulatorSource> source,
                       const net::Endpoint& local, SourceClock& clock, ReadingSignal* signal)
    : sockets_(sockets),
      source_(std::move(source)),
      name_(source_->Name()),
      local_(local),
      bound_(local),
      clock_(clock),
      signal_(signal != nullptr ? *signal : own_signal_) {}

SourceHost::~SourceHost() {
  Stop();
}

bool SourceHost::Start(std::string& error) {
  if (Running()) {
    return true;
  }
  socket_ = sockets_.OpenUdp(local_, error);
  if (socket_ == 0) {
    return false;
  }
  if (!sockets_.LocalEndpoint(socket_, bound_)) {
    bound_ = local_;
  }
  stopping_ = false;
  thread_ = std::thread([this] { Run(); });
  return true;
}

void SourceHost::Stop() {
  if (!Running()) {
    return;
  }
  stopping_ = true;
  // Wake the thread from its wait: an empty datagram to its own socket. Should it be lost, the
  // thread looks again within kLongestWaitMs anyway.
  net::Endpoint self = bound_;
  if (self.address == net::kAnyAddress) {
    self.address = net::kLoopbackAddress;
  }
  const std::uint8_t nothing = 0;
  sockets_.SendTo(socket_, self, &nothing, 0);
  thread_.join();
  std::vector<OutgoingDatagram> farewell;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    farewell = source_->Farewell();
  }
  SendAll(farewell);
  sockets_.Close(socket_);
  socket_ = 0;
}

std::string SourceHost::Description() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return source_->Description();
}

std::optional<SourceReading> SourceHost::Current() const {
  const SourceTime now = clock_.Now();
  std::lock_guard<std::mutex> lock(mutex_);
  return source_->Current(now);
}

DatagramCounts SourceHost::Counts() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return source_->Counts();
}

bool SourceHost::WaitForReading(std::chrono::milliseconds timeout) {
  return signal_.WaitFor(timeout, [this] { return Current().has_value(); });
}

void SourceHost::SendAll(const std::vector<OutgoingDatagram>& datagrams) {
  // A datagram that cannot be sent (no route to the simulator's computer yet) is sent again
  // with the source's next round.
  for (const OutgoingDatagram& datagram : datagrams) {
    sockets_.SendTo(socket_, datagram.to, datagram.bytes.data(), datagram.bytes.size());
  }
}

void SourceHost::Run() {
  std::vector<std::uint8_t> buffer(kReceiveBuffer);
  while (!stopping_) {
    const SourceTime now = clock_.Now();
    SendSchedule schedule;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      schedule = source_->Due(now);
    }
    SendAll(schedule.datagrams);

    std::uint32_t wait_ms = kLongestWaitMs;
    if (schedule.next) {
      const auto until = std::chrono::ceil<std::chrono::milliseconds>(*schedule.next - now).count();
      wait_ms = static_cast<std::uint32_t>(
          std::clamp<std::int64_t>(until, 0, static_cast<std::int64_t>(kLongestWaitMs)));
    }
    const net::Received received = sockets_.Receive(socket_, buffer.data(), buffer.size(), wait_ms);
    if (stopping_) {
      break;
    }
    if (received.status == net::ReceiveStatus::Datagram) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        source_->Receive(received.sender, std::span(buffer.data(), received.size),
                         received.truncated, clock_.Now());
      }
      signal_.Notify();
    } else if (received.status == net::ReceiveStatus::Failed) {
      // A socket that keeps failing must not make this thread spin.
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
}

}  // namespace quorvane::sources
