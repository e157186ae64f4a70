#include "link/posix/link_services_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "link/platform_link_services.h"
#include "link/posix/posix_wire.h"

namespace quorvane {

namespace {

int FdOf(LinkServices::Handle window) {
  return static_cast<int>(window) - 1;
}

// Connects to the server socket of a class; -1 when there is no server of that class or the
// server is not run by this user.
int ConnectToServer(const std::string& class_name) {
  const auto path = posix_wire::SocketPath(class_name);
  if (!path) {
    return -1;
  }
  // Non-blocking: a server that stopped taking connections (its queue full) must not keep
  // connect waiting for ever; it counts as no server, and the waits for replies poll anyway.
  const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    return -1;
  }
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path->c_str(), path->size() + 1);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  // Another user's process listening on our path must never see our requests.
  ucred peer{};
  socklen_t length = sizeof peer;
  if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 || peer.uid != ::geteuid()) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Removes the block of this name when it was left by a link that no longer exists: a plain
// object of this user that no process holds locked (every link holds its own block locked for
// as long as it is open, and a killed process's lock goes with it). The name carries the process
// id, so this is what a later process with the same id finds after a crash, as is routine in
// containers. Another user's object, a link planted under the name and a live block stay.
bool RemoveStaleBlock(const std::string& shm_name) {
  const int fd = ::shm_open(shm_name.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC, 0);
  if (fd < 0) {
    return false;
  }
  struct stat info {};
  const bool stale = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                     info.st_uid == ::geteuid() && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  if (stale) {
    ::shm_unlink(shm_name.c_str());
  }
  ::close(fd);
  return stale;
}

}  // namespace

LinkInterrupt& ProcessLinkInterrupt() {
  static PosixLinkInterrupt interrupt;
  return interrupt;
}

LinkServices& PlatformLinkServices() {
  static PosixLinkServices services(&static_cast<PosixLinkInterrupt&>(ProcessLinkInterrupt()));
  return services;
}

PosixLinkServices::~PosixLinkServices() {
  for (auto& [view, size] : views_) {
    ::munmap(view, size);
  }
  for (auto& [handle, mapping] : mappings_) {
    ::close(mapping.fd);
    ::shm_unlink(mapping.shm_name.c_str());
  }
}

LinkServices::Handle PosixLinkServices::FindServerWindow(const std::string& class_name) {
  const int fd = ConnectToServer(class_name);
  return fd < 0 ? 0 : static_cast<Handle>(fd) + 1;
}

void PosixLinkServices::ReleaseServerWindow(Handle window) {
  if (window != 0) {
    ::close(FdOf(window));
  }
}

std::uint32_t PosixLinkServices::RegisterMessage(const std::string& name) {
  if (name.empty() || name.size() > posix_wire::kMaxNameLength) {
    return 0;
  }
  for (const auto& [number, known] : messages_) {
    if (known == name) {
      return number;
    }
  }
  // Registered window messages lie in 0xC000..0xFFFF.
  const auto number = static_cast<std::uint32_t>(0xC000 + messages_.size());
  if (number > 0xFFFF) {
    return 0;
  }
  messages_[number] = name;
  return number;
}

std::uint16_t PosixLinkServices::AddAtom(const std::string& text) {
  if (text.empty() || text.size() > posix_wire::kMaxNameLength) {
    return 0;
  }
  for (std::uint32_t tries = 0; tries < 0x4000; ++tries) {
    const std::uint16_t atom = next_atom_;
    next_atom_ = next_atom_ == 0xFFFF ? 0xC000 : static_cast<std::uint16_t>(next_atom_ + 1);
    if (!atoms_.contains(atom)) {
      atoms_[atom] = text;
      return atom;
    }
  }
  return 0;
}

void PosixLinkServices::DeleteAtom(std::uint16_t atom) {
  atoms_.erase(atom);
}

std::uint32_t PosixLinkServices::CurrentProcessId() {
  return static_cast<std::uint32_t>(::getpid());
}

LinkServices::Handle PosixLinkServices::CreateMapping(const std::string& name, std::uint32_t size) {
  last_error_ = 0;
  const auto shm_name = posix_wire::SharedMemoryName(name);
  if (!shm_name) {
    last_error_ = EINVAL;
    return 0;
  }
  // Exclusive: a block of this name that someone else made is never shared with them.
  constexpr int kCreate = O_CREAT | O_EXCL | O_RDWR | O_NOFOLLOW | O_CLOEXEC;
  int fd = ::shm_open(shm_name->c_str(), kCreate, 0600);
  if (fd < 0 && errno == EEXIST && RemoveStaleBlock(*shm_name)) {
    fd = ::shm_open(shm_name->c_str(), kCreate, 0600);
  }
  if (fd < 0) {
    last_error_ = errno == EEXIST ? kErrorAlreadyExists : static_cast<std::uint32_t>(errno);
    return 0;
  }
  // Held while the link is open: it tells a later process that this block is in use.
  ::flock(fd, LOCK_EX | LOCK_NB);
  if (::ftruncate(fd, size) != 0) {
    last_error_ = static_cast<std::uint32_t>(errno);
    ::close(fd);
    ::shm_unlink(shm_name->c_str());
    return 0;
  }
  const Handle handle = next_mapping_++;
  mappings_[handle] = Mapping{fd, *shm_name, size};
  return handle;
}

std::uint8_t* PosixLinkServices::MapView(Handle mapping) {
  const auto found = mappings_.find(mapping);
  if (found == mappings_.end()) {
    return nullptr;
  }
  void* view =
      ::mmap(nullptr, found->second.size, PROT_READ | PROT_WRITE, MAP_SHARED, found->second.fd, 0);
  if (view == MAP_FAILED) {
    last_error_ = static_cast<std::uint32_t>(errno);
    return nullptr;
  }
  auto* bytes = static_cast<std::uint8_t*>(view);
  views_[bytes] = found->second.size;
  return bytes;
}

void PosixLinkServices::UnmapView(std::uint8_t* view) {
  const auto found = views_.find(view);
  if (found != views_.end()) {
    ::munmap(found->first, found->second);
    views_.erase(found);
  }
}

void PosixLinkServices::CloseMapping(Handle mapping) {
  const auto found = mappings_.find(mapping);
  if (found != mappings_.end()) {
    ::close(found->second.fd);
    ::shm_unlink(found->second.shm_name.c_str());
    mappings_.erase(found);
  }
}

bool PosixLinkServices::SendMessageTimeout(Handle window, std::uint32_t message,
                                           std::uintptr_t wparam, std::intptr_t lparam,
                                           std::uint32_t timeout_ms, std::uintptr_t& reply) {
  posix_wire::Request request;
  request.kind = posix_wire::RequestKind::Exchange;
  request.sequence = next_sequence_++;
  request.lparam = static_cast<std::uint32_t>(lparam);
  // An unknown message or atom travels as an empty name; the server then refuses the request.
  if (const auto found = messages_.find(message); found != messages_.end()) {
    request.message_name = found->second;
  }
  if (const auto found = atoms_.find(static_cast<std::uint16_t>(wparam));
      wparam <= 0xFFFF && found != atoms_.end()) {
    request.mapping_name = found->second;
  }
  return SendAndWait(window, *posix_wire::EncodeRequest(request), request.sequence, timeout_ms,
                     reply);
}

bool PosixLinkServices::Ping(Handle window, std::uint32_t timeout_ms) {
  posix_wire::Request request;
  request.kind = posix_wire::RequestKind::Ping;
  request.sequence = next_sequence_++;
  std::uintptr_t reply = 0;
  return SendAndWait(window, *posix_wire::EncodeRequest(request), request.sequence, timeout_ms,
                     reply) &&
         reply == 1;
}

int PosixLinkServices::WaitFor(int fd, short events,
                               std::chrono::steady_clock::time_point deadline) {
  using Clock = std::chrono::steady_clock;
  const int interrupt_fd = interrupt_ != nullptr ? interrupt_->Descriptor() : -1;
  for (;;) {
    // Rounded up: a pause never ends before its time.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    long long slice = std::max<long long>(0, left);
    if (interrupt_ != nullptr && interrupt_->HasWhileWaiting()) {
      slice = std::min<long long>(slice, LinkInterrupt::kWhileWaitingMs);
    }
    pollfd waits[2] = {{fd, events, 0}, {interrupt_fd, POLLIN, 0}};
    const int ready = ::poll(waits, 2, static_cast<int>(slice));
    if (ready < 0 && errno == EINTR) {
      continue;
    }
    if (ready < 0) {
      last_error_ = static_cast<std::uint32_t>(errno);
      return -1;
    }
    if (waits[1].revents != 0) {
      last_error_ = EINTR;  // interrupted: the caller gives up
      return -1;
    }
    if (waits[0].revents != 0) {
      return 1;
    }
    if (slice >= left) {
      return 0;
    }
    interrupt_->WhileWaiting();
  }
}

bool PosixLinkServices::SendAndWait(Handle window, const std::vector<std::uint8_t>& packet,
                                    std::uint32_t sequence, std::uint32_t timeout_ms,
                                    std::uintptr_t& reply) {
  if (window == 0) {
    last_error_ = EBADF;
    return false;
  }
  if (Interrupted()) {
    last_error_ = EINTR;  // nothing is sent that would not be waited for
    return false;
  }
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  const int fd = FdOf(window);
  // A server that does not read fills its queue: the send then waits like the reply does.
  for (;;) {
    if (::send(fd, packet.data(), packet.size(), MSG_NOSIGNAL | MSG_DONTWAIT) >= 0) {
      break;
    }
    if (errno == EINTR) {
      continue;
    }
    if (errno != EAGAIN && errno != EWOULDBLOCK) {
      last_error_ = static_cast<std::uint32_t>(errno);
      return false;
    }
    const int ready = WaitFor(fd, POLLOUT, deadline);
    if (ready <= 0) {
      if (ready == 0) {
        last_error_ = 0;  // timed out
      }
      return false;
    }
  }
  for (;;) {
    const int ready = WaitFor(fd, POLLIN, deadline);
    if (ready <= 0) {
      if (ready == 0) {
        last_error_ = 0;  // timed out
      }
      return false;
    }
    std::uint8_t buffer[64];
    const ssize_t received = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (received < 0 && (errno == EINTR || errno == EAGAIN)) {
      continue;
    }
    if (received <= 0) {
      // End of file: the server went away.
      last_error_ = received == 0 ? ECONNRESET : static_cast<std::uint32_t>(errno);
      return false;
    }
    const auto decoded = posix_wire::DecodeReply({buffer, static_cast<std::size_t>(received)});
    // A late answer to an earlier, timed-out request is dropped; only ours counts.
    if (decoded && decoded->sequence == sequence) {
      reply = decoded->value;
      return true;
    }
  }
}

void PosixLinkServices::Sleep(std::uint32_t milliseconds) {
  // A pause is cut short by the interrupt too.
  WaitFor(-1, 0, std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds));
}

}  // namespace quorvane
