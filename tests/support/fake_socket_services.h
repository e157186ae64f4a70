#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "net/socket_services.h"

namespace quorvane::testing {

// A datagram as the fake network carried it.
struct FakeDatagram {
  net::Endpoint from;
  net::Endpoint to;
  std::vector<std::uint8_t> bytes;
};

// UDP in memory: sockets bound to endpoints, datagrams delivered to the socket bound where they
// are sent (to an address of 0 or the exact address), everything sent recorded. Receive waits
// on a condition for a datagram, never sleeps. Safe to use from the hosts' threads and the test
// at once.
class FakeSocketServices final : public net::SocketServices {
 public:
  // Set-up (before the sockets are used).
  std::map<std::string, std::uint32_t> hosts;  // names Resolve knows
  std::set<std::uint16_t> ports_in_use;        // binds to these fail
  std::size_t max_datagram = 65507;            // what one datagram may carry

  // Sends bytes from `from` to `to` as another program would. False when no socket is bound
  // there (the datagram is lost).
  bool Deliver(const net::Endpoint& from, const net::Endpoint& to,
               const std::vector<std::uint8_t>& bytes);
  bool Deliver(const net::Endpoint& from, const net::Endpoint& to, const std::string& text);
  // Everything sent through SendTo so far.
  std::vector<FakeDatagram> Sent() const;
  // Waits up to timeout for SendTo to have sent `count` datagrams to `to` in all.
  bool WaitForSent(const net::Endpoint& to, std::size_t count, std::chrono::milliseconds timeout);
  // Waits up to timeout until the socket bound to `bound` has taken every datagram queued for it
  // and waits in Receive for the next: whatever its owner does with a datagram is done by then.
  bool WaitUntilIdle(const net::Endpoint& bound, std::chrono::milliseconds timeout);
  // The sockets open now.
  int OpenSockets() const;

  bool Resolve(const std::string& host, std::uint32_t& address, std::string& error) override;
  Socket OpenUdp(const net::Endpoint& local, std::string& error) override;
  bool LocalEndpoint(Socket socket, net::Endpoint& local) override;
  bool SendTo(Socket socket, const net::Endpoint& to, const std::uint8_t* data,
              std::size_t size) override;
  net::Received Receive(Socket socket, std::uint8_t* buffer, std::size_t capacity,
                        std::uint32_t timeout_ms) override;
  void Close(Socket socket) override;

 private:
  struct FakeSocket {
    net::Endpoint local;
    std::deque<FakeDatagram> queue;
    bool receiving = false;  // its owner waits in Receive
  };

  // Queues a datagram at the socket bound to `to`; false when none is. Holds mutex_.
  bool DeliverLocked(const net::Endpoint& from, const net::Endpoint& to,
                     std::vector<std::uint8_t> bytes);

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::map<Socket, FakeSocket> sockets_;
  std::vector<FakeDatagram> sent_;
  Socket next_socket_ = 1;
  std::uint16_t next_port_ = 50000;
};

}  // namespace quorvane::testing
