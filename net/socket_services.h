#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "net/endpoint.h"

namespace quorvane::net {

// What waiting for a datagram gave.
enum class ReceiveStatus : std::uint8_t {
  Datagram,  // one datagram was received
  TimedOut,  // none arrived within the time-out
  Failed,    // the socket reported an error (the next call may succeed)
};

struct Received {
  ReceiveStatus status = ReceiveStatus::TimedOut;
  std::size_t size = 0;    // bytes stored in the caller's buffer
  bool truncated = false;  // the datagram was longer than the buffer; the rest was dropped
  Endpoint sender;
};

// The UDP services the simulator sources need, one method per service: the POSIX sockets API in
// posix/, Winsock in win32/, chosen by CMake. A socket is an opaque non-zero number; 0 is none.
// One socket may be used by two threads at once: one receiving while another sends.
class SocketServices {
 public:
  using Socket = std::uintptr_t;

  virtual ~SocketServices() = default;

  // The IPv4 address of a host name or dotted address. False with a message when it has none.
  virtual bool Resolve(const std::string& host, std::uint32_t& address, std::string& error) = 0;
  // A UDP socket bound to local (port 0: a free port chosen by the system). Returns 0 with a
  // message when it cannot be opened or bound (for example a port in use).
  virtual Socket OpenUdp(const Endpoint& local, std::string& error) = 0;
  // The address and port a socket is bound to; false on failure.
  virtual bool LocalEndpoint(Socket socket, Endpoint& local) = 0;
  // Sends one datagram; false when the system refused it.
  virtual bool SendTo(Socket socket, const Endpoint& to, const std::uint8_t* data,
                      std::size_t size) = 0;
  // Waits up to timeout_ms for one datagram and stores up to capacity bytes of it.
  virtual Received Receive(Socket socket, std::uint8_t* buffer, std::size_t capacity,
                           std::uint32_t timeout_ms) = 0;
  virtual void Close(Socket socket) = 0;
};

// The sockets of the platform this program was built for. Lives until the process ends.
SocketServices& PlatformSocketServices();

}  // namespace quorvane::net
