// UDP sockets through Winsock 2.

// winsock2.h first: the others rely on its types.
#include <winsock2.h>
//
#include <mswsock.h>
#include <ws2tcpip.h>

#include <cstring>
#include <string>

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

SOCKET HandleOf(SocketServices::Socket socket) {
  return static_cast<SOCKET>(socket);
}

std::string ErrorText(const char* what, int code) {
  char message[256] = {};
  const DWORD length =
      ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(code), 0, message, sizeof message, nullptr);
  std::string text = what;
  text += ": ";
  if (length == 0) {
    text += "Winsock error " + std::to_string(code);
  } else {
    text.append(message, length);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
      text.pop_back();
    }
  }
  return text;
}

class Win32SocketServices final : public SocketServices {
 public:
  Win32SocketServices() {
    WSADATA data{};
    started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~Win32SocketServices() override {
    if (started_) {
      ::WSACleanup();
    }
  }
  Win32SocketServices(const Win32SocketServices&) = delete;
  Win32SocketServices& operator=(const Win32SocketServices&) = delete;

  bool Resolve(const std::string& host, std::uint32_t& address, std::string& error) override {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    const int status = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (status != 0 || found == nullptr) {
      error = ErrorText(("cannot find the address of \"" + host + "\"").c_str(), status);
      return false;
    }
    sockaddr_in first{};
    std::memcpy(&first, found->ai_addr, sizeof first);
    ::freeaddrinfo(found);
    address = ntohl(first.sin_addr.s_addr);
    return true;
  }

  Socket OpenUdp(const Endpoint& local, std::string& error) override {
    const SOCKET handle = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (handle == INVALID_SOCKET) {
      error = ErrorText("cannot open a UDP socket", ::WSAGetLastError());
      return 0;
    }
    // Another program must not take over the port while we hold it.
    BOOL exclusive = TRUE;
    ::setsockopt(handle, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
                 sizeof exclusive);
    const sockaddr_in address = AddressOf(local);
    if (::bind(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
      error = ErrorText(("cannot listen on " + FormatEndpoint(local)).c_str(), ::WSAGetLastError());
      ::closesocket(handle);
      return 0;
    }
    // A datagram sent to a port where nothing listens makes Windows fail the socket's next
    // receive with WSAECONNRESET; a simulator that is not running yet is no error here.
    BOOL report_reset = FALSE;
    DWORD returned = 0;
    ::WSAIoctl(handle, SIO_UDP_CONNRESET, &report_reset, sizeof report_reset, nullptr, 0, &returned,
               nullptr, nullptr);
    return static_cast<Socket>(handle);
  }

  bool LocalEndpoint(Socket socket, Endpoint& local) override {
    sockaddr_in address{};
    int length = sizeof address;
    if (::getsockname(HandleOf(socket), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      return false;
    }
    local = EndpointOf(address);
    return true;
  }

  bool SendTo(Socket socket, const Endpoint& to, const std::uint8_t* data,
              std::size_t size) override {
    const sockaddr_in address = AddressOf(to);
    const int sent =
        ::sendto(HandleOf(socket), reinterpret_cast<const char*>(data), static_cast<int>(size), 0,
                 reinterpret_cast<const sockaddr*>(&address), sizeof address);
    return sent == static_cast<int>(size);
  }

  Received Receive(Socket socket, std::uint8_t* buffer, std::size_t capacity,
                   std::uint32_t timeout_ms) override {
    Received received;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(HandleOf(socket), &readable);
    timeval timeout{static_cast<long>(timeout_ms / 1000),
                    static_cast<long>(timeout_ms % 1000) * 1000};
    const int ready = ::select(0, &readable, nullptr, nullptr, &timeout);
    if (ready == 0) {
      received.status = ReceiveStatus::TimedOut;
      return received;
    }
    if (ready == SOCKET_ERROR) {
      received.status = ReceiveStatus::Failed;
      return received;
    }
    sockaddr_in from{};
    int from_length = sizeof from;
    const int size =
        ::recvfrom(HandleOf(socket), reinterpret_cast<char*>(buffer), static_cast<int>(capacity), 0,
                   reinterpret_cast<sockaddr*>(&from), &from_length);
    if (size == SOCKET_ERROR) {
      // A datagram longer than the buffer fills it and reports WSAEMSGSIZE.
      if (::WSAGetLastError() == WSAEMSGSIZE) {
        received.status = ReceiveStatus::Datagram;
        received.size = capacity;
        received.truncated = true;
        received.sender = EndpointOf(from);
        return received;
      }
      received.status = ReceiveStatus::Failed;
      return received;
    }
    received.status = ReceiveStatus::Datagram;
    received.size = static_cast<std::size_t>(size);
    received.sender = EndpointOf(from);
    return received;
  }

  void Close(Socket socket) override { ::closesocket(HandleOf(socket)); }

 private:
  bool started_ = false;
};

}  // namespace

SocketServices& PlatformSocketServices() {
  static Win32SocketServices services;
  return services;
}

}  // namespace quorvane::net
