#include "tests/support/fake_socket_services.h"

#include <algorithm>

namespace quorvane::testing {

bool FakeSocketServices::Deliver(const net::Endpoint& from, const net::Endpoint& to,
                                 const std::vector<std::uint8_t>& bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  return DeliverLocked(from, to, bytes);
}

bool FakeSocketServices::Deliver(const net::Endpoint& from, const net::Endpoint& to,
                                 const std::string& text) {
  return Deliver(from, to, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::vector<FakeDatagram> FakeSocketServices::Sent() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return sent_;
}

bool FakeSocketServices::WaitForSent(const net::Endpoint& to, std::size_t count,
                                     std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] {
    return static_cast<std::size_t>(std::count_if(
               sent_.begin(), sent_.end(), [&](const auto& d) { return d.to == to; })) >= count;
  });
}

bool FakeSocketServices::WaitUntilIdle(const net::Endpoint& bound,
                                       std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] {
    return std::any_of(sockets_.begin(), sockets_.end(), [&](const auto& s) {
      return s.second.local == bound && s.second.queue.empty() && s.second.receiving;
    });
  });
}

int FakeSocketServices::OpenSockets() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(sockets_.size());
}

bool FakeSocketServices::Resolve(const std::string& host, std::uint32_t& address,
                                 std::string& error) {
  const auto found = hosts.find(host);
  if (found == hosts.end()) {
    error = "cannot find the address of \"" + host + "\"";
    return false;
  }
  address = found->second;
  return true;
}

net::SocketServices::Socket FakeSocketServices::OpenUdp(const net::Endpoint& local,
                                                        std::string& error) {
  std::lock_guard<std::mutex> lock(mutex_);
  net::Endpoint bound = local;
  if (bound.port == 0) {
    bound.port = next_port_++;
  }
  const bool taken = ports_in_use.contains(bound.port) ||
                     std::any_of(sockets_.begin(), sockets_.end(),
                                 [&](const auto& s) { return s.second.local.port == bound.port; });
  if (taken) {
    error = "cannot listen on " + net::FormatEndpoint(bound) + ": Address already in use";
    return 0;
  }
  const Socket socket = next_socket_++;
  sockets_[socket].local = bound;
  return socket;
}

bool FakeSocketServices::LocalEndpoint(Socket socket, net::Endpoint& local) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = sockets_.find(socket);
  if (found == sockets_.end()) {
    return false;
  }
  local = found->second.local;
  return true;
}

bool FakeSocketServices::SendTo(Socket socket, const net::Endpoint& to, const std::uint8_t* data,
                                std::size_t size) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = sockets_.find(socket);
  if (found == sockets_.end()) {
    return false;
  }
  net::Endpoint from = found->second.local;
  if (from.address == net::kAnyAddress) {
    from.address = net::kLoopbackAddress;
  }
  std::vector<std::uint8_t> bytes(data, data + size);
  sent_.push_back({from, to, bytes});
  DeliverLocked(from, to, std::move(bytes));
  changed_.notify_all();
  return true;
}

net::Received FakeSocketServices::Receive(Socket socket, std::uint8_t* buffer, std::size_t capacity,
                                          std::uint32_t timeout_ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  net::Received received;
  if (const auto found = sockets_.find(socket); found != sockets_.end()) {
    found->second.receiving = true;
    changed_.notify_all();
  }
  const bool arrived = changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] {
    const auto found = sockets_.find(socket);
    return found == sockets_.end() || !found->second.queue.empty();
  });
  const auto found = sockets_.find(socket);
  if (found != sockets_.end()) {
    found->second.receiving = false;
  }
  if (found == sockets_.end()) {
    received.status = net::ReceiveStatus::Failed;
    return received;
  }
  if (!arrived) {
    received.status = net::ReceiveStatus::TimedOut;
    return received;
  }
  const FakeDatagram datagram = std::move(found->second.queue.front());
  found->second.queue.pop_front();
  const std::size_t size = std::min(capacity, datagram.bytes.size());
  std::copy_n(datagram.bytes.begin(), size, buffer);
  received.status = net::ReceiveStatus::Datagram;
  received.size = size;
  received.truncated = size < datagram.bytes.size();
  received.sender = datagram.from;
  return received;
}

void FakeSocketServices::Close(Socket socket) {
  std::lock_guard<std::mutex> lock(mutex_);
  sockets_.erase(socket);
  changed_.notify_all();
}

bool FakeSocketServices::DeliverLocked(const net::Endpoint& from, const net::Endpoint& to,
                                       std::vector<std::uint8_t> bytes) {
  if (bytes.size() > max_datagram) {
    return false;
  }
  for (auto& [socket, fake] : sockets_) {
    const bool address_matches =
        fake.local.address == net::kAnyAddress || fake.local.address == to.address;
    if (fake.local.port == to.port && address_matches) {
      fake.queue.push_back({from, to, std::move(bytes)});
      changed_.notify_all();
      return true;
    }
  }
  return false;
}

}  // namespace quorvane::testing
