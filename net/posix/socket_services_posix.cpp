// UDP sockets through the POSIX sockets API.

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "net/socket_services.h"

namespace quorvane::net {

namespace {

sockaddr_in AddressOf(const Endpoint& endpoint) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(endpoint.address);
  address.sin_port = htons(endpoint.port);
  return address;
}

Endpoint EndpointOf(const sockaddr_in& address) {
  return Endpoint{ntohl(address.sin_addr.s_addr), ntohs(address.sin_port)};
}

int DescriptorOf(SocketServices::Socket socket) {
  return static_cast<int>(socket) - 1;
}

class PosixSocketServices final : public SocketServices {
 public:
  bool Resolve(const std::string& host, std::uint32_t& address, std::string& error) override {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    const int status = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (status != 0 || found == nullptr) {
      error = "cannot find the address of \"" + host + "\": " + ::gai_strerror(status);
      return false;
    }
    sockaddr_in first{};
    std::memcpy(&first, found->ai_addr, sizeof first);
    ::freeaddrinfo(found);
    address = ntohl(first.sin_addr.s_addr);
    return true;
  }

  Socket OpenUdp(const Endpoint& local, std::string& error) override {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
      error = std::string("cannot open a UDP socket: ") + std::strerror(errno);
      return 0;
    }
    const sockaddr_in address = AddressOf(local);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
      error = "cannot listen on " + FormatEndpoint(local) + ": " + std::strerror(errno);
      ::close(fd);
      return 0;
    }
    // Socket 0 means none: descriptors are stored one higher.
    return static_cast<Socket>(fd) + 1;
  }

  bool LocalEndpoint(Socket socket, Endpoint& local) override {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(DescriptorOf(socket), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      return false;
    }
    local = EndpointOf(address);
    return true;
  }

  bool SendTo(Socket socket, const Endpoint& to, const std::uint8_t* data,
              std::size_t size) override {
    const sockaddr_in address = AddressOf(to);
    const ssize_t sent = ::sendto(DescriptorOf(socket), data, size, MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(&address), sizeof address);
    return sent == static_cast<ssize_t>(size);
  }

  Received Receive(Socket socket, std::uint8_t* buffer, std::size_t capacity,
                   std::uint32_t timeout_ms) override {
    Received received;
    pollfd waiting{DescriptorOf(socket), POLLIN, 0};
    const int ready = ::poll(&waiting, 1, static_cast<int>(timeout_ms));
    if (ready == 0 || (ready < 0 && errno == EINTR)) {
      received.status = ReceiveStatus::TimedOut;
      return received;
    }
    if (ready < 0) {
      received.status = ReceiveStatus::Failed;
      return received;
    }
    sockaddr_in from{};
    iovec part{buffer, capacity};
    msghdr message{};
    message.msg_name = &from;
    message.msg_namelen = sizeof from;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    const ssize_t size = ::recvmsg(DescriptorOf(socket), &message, MSG_DONTWAIT);
    if (size < 0) {
      // Nothing after all (another reader took it), or an error the next call may not repeat.
      received.status = (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                            ? ReceiveStatus::TimedOut
                            : ReceiveStatus::Failed;
      return received;
    }
    received.status = ReceiveStatus::Datagram;
    received.size = static_cast<std::size_t>(size);
    received.truncated = (message.msg_flags & MSG_TRUNC) != 0;
    received.sender = EndpointOf(from);
    return received;
  }

  void Close(Socket socket) override { ::close(DescriptorOf(socket)); }
};

}  // namespace

SocketServices& PlatformSocketServices() {
  static PosixSocketServices services;
  return services;
}

}  // namespace quorvane::net
