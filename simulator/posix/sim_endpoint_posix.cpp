#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "link/posix/posix_wire.h"
#include "link/request_block.h"
#include "simulator/sim_endpoint.h"

namespace quorvane::sim {

namespace {

volatile std::sig_atomic_t g_stop_signal = 0;

void OnStopSignal(int signal_number) {
  g_stop_signal = signal_number;
}

// A client connection, with the block it last named kept mapped: the client creates its block
// once per link, and each link makes its own connection.
struct Connection {
  int fd = -1;
  std::string mapping_name;
  std::uint8_t* view = nullptr;

  void Unmap() {
    if (view != nullptr) {
      ::munmap(view, block::kBlockSize);
      view = nullptr;
    }
    mapping_name.clear();
  }
};

// Maps the block of the given name for this connection; nullptr when it does not exist or is
// too small to hold a whole block.
std::uint8_t* MapBlock(Connection& connection, const std::string& mapping_name) {
  if (connection.view != nullptr && connection.mapping_name == mapping_name) {
    return connection.view;
  }
  connection.Unmap();
  const auto shm_name = posix_wire::SharedMemoryName(mapping_name);
  if (!shm_name) {
    return nullptr;
  }
  const int fd = ::shm_open(shm_name->c_str(), O_RDWR | O_CLOEXEC, 0);
  if (fd < 0) {
    return nullptr;
  }
  struct stat info {};
  void* view = MAP_FAILED;
  // A shorter object would fault when the walk touched its end.
  if (::fstat(fd, &info) == 0 && info.st_size >= static_cast<off_t>(block::kBlockSize)) {
    view = ::mmap(nullptr, block::kBlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  }
  ::close(fd);
  if (view == MAP_FAILED) {
    return nullptr;
  }
  connection.view = static_cast<std::uint8_t*>(view);
  connection.mapping_name = mapping_name;
  return connection.view;
}

// Creates the private socket folder and binds the class's socket in it. -1 on failure.
int Listen(const std::string& path) {
  const std::string folder = posix_wire::SocketDirectory();
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    std::fprintf(stderr, "quorvane-sim: cannot create %s: %s\n", folder.c_str(),
                 std::strerror(errno));
    return -1;
  }
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()) {
    std::fprintf(stderr, "quorvane-sim: %s is not a folder of this user\n", folder.c_str());
    return -1;
  }
  ::chmod(folder.c_str(), 0700);

  const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    std::perror("quorvane-sim: socket");
    return -1;
  }
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    std::fprintf(stderr, "quorvane-sim: a server is already answering at %s\n", path.c_str());
    ::close(fd);
    return -1;
  }
  ::unlink(path.c_str());  // left behind by a server that was killed
  // The socket is made with mode 0777 less the mask: 0600, read and write for the user alone.
  const mode_t old_mask = ::umask(0177);
  const int bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  ::umask(old_mask);
  if (bound != 0 || ::listen(fd, 16) != 0) {
    std::fprintf(stderr, "quorvane-sim: cannot listen at %s: %s\n", path.c_str(),
                 std::strerror(errno));
    ::close(fd);
    return -1;
  }
  return fd;
}

bool CreateReadyFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) {
    std::fprintf(stderr, "quorvane-sim: cannot create %s: %s\n", path.c_str(),
                 std::strerror(errno));
    return false;
  }
  return std::fclose(file) == 0;
}

// Handles one packet of a connection. Returns false when the server should stop.
void Answer(SimulatorCore& core, Connection& connection, const std::uint8_t* packet,
            std::size_t length) {
  const auto request = posix_wire::DecodeRequest({packet, length});
  if (!request) {
    return;  // not ours: nothing to answer
  }
  std::uint32_t value = 0;
  if (request->kind == posix_wire::RequestKind::Ping) {
    value = 1;
  } else if (request->message_name != block::kMessageName) {
    value = 0;  // an unknown message, as a window's default handling answers it
  } else if (std::uint8_t* view = MapBlock(connection, request->mapping_name); view == nullptr) {
    value = 0;
  } else {
    const auto reply = core.Exchange(view, block::kBlockSize, SimulatorCore::Clock::now());
    if (!reply) {
      return;  // hanging: never answer
    }
    value = *reply;
  }
  const auto bytes = posix_wire::EncodeReply({request->sequence, value});
  ::send(connection.fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

}  // namespace

int RunEndpoint(SimulatorCore& core) {
  const auto path = posix_wire::SocketPath(core.Options().class_name);
  if (!path) {
    std::fprintf(stderr, "quorvane-sim: the class name \"%s\" cannot name a socket\n",
                 core.Options().class_name.c_str());
    return 2;
  }
  const int listener = Listen(*path);
  if (listener < 0) {
    return 1;
  }
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
  ::signal(SIGPIPE, SIG_IGN);
  // The stop signals are held back except while waiting, so that one arriving between the check
  // of the loop and the wait cannot be missed and leave the server waiting for ever.
  sigset_t stop_signals;
  sigset_t waiting_mask;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  ::sigprocmask(SIG_BLOCK, &stop_signals, &waiting_mask);
  sigdelset(&waiting_mask, SIGINT);
  sigdelset(&waiting_mask, SIGTERM);

  if (!core.Options().ready_file.empty() && !CreateReadyFile(core.Options().ready_file)) {
    ::unlink(path->c_str());
    return 1;
  }

  std::vector<Connection> connections;
  std::vector<pollfd> waits;
  int status = 0;
  while (g_stop_signal == 0 && !core.Finished()) {
    waits.assign(1, pollfd{listener, POLLIN, 0});
    for (const Connection& connection : connections) {
      waits.push_back(pollfd{connection.fd, POLLIN, 0});
    }
    if (::ppoll(waits.data(), waits.size(), nullptr, &waiting_mask) < 0) {
      if (errno == EINTR) {
        continue;
      }
      std::perror("quorvane-sim: poll");
      status = 1;
      break;
    }
    // Connections first (their indices match waits from 1 on), then new clients.
    for (std::size_t i = connections.size(); i-- > 0;) {
      if (waits[i + 1].revents == 0) {
        continue;
      }
      Connection& connection = connections[i];
      std::uint8_t packet[posix_wire::kMaxRequestSize + 1];
      const ssize_t received = ::recv(connection.fd, packet, sizeof packet, MSG_DONTWAIT);
      if (received < 0 && (errno == EAGAIN || errno == EINTR)) {
        continue;
      }
      if (received <= 0) {
        connection.Unmap();
        ::close(connection.fd);
        connections.erase(connections.begin() + static_cast<std::ptrdiff_t>(i));
        continue;
      }
      Answer(core, connection, packet, static_cast<std::size_t>(received));
      if (core.Finished()) {
        break;
      }
    }
    if ((waits[0].revents & POLLIN) != 0) {
      const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
      if (client >= 0) {
        connections.push_back(Connection{client, {}, nullptr});
      }
    }
  }
  for (Connection& connection : connections) {
    connection.Unmap();
    ::close(connection.fd);
  }
  ::close(listener);
  ::unlink(path->c_str());
  return status;
}

}  // namespace quorvane::sim
