// POSIX file operations for publishing files.

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <system_error>

#include "kml/platform_files.h"

namespace quorvane {

const char kPathSeparator = '/';

namespace {

std::string Describe(int error) {
  return std::generic_category().message(error);
}

class PosixFileSystem final : public FileSystem {
 public:
  bool CreateTemporary(const std::string& target, std::string& temp_path, Handle& file,
                       std::string& why) override {
    // The process id keeps two running programs apart, the counter two saves of one program;
    // O_EXCL makes sure the name was free. Mode 0666 less the umask, as any new file gets.
    const std::string prefix = target + "." + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string candidate = prefix + std::to_string(next_number_++) + ".tmp";
      const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd >= 0) {
        temp_path = candidate;
        file = static_cast<Handle>(fd);
        return true;
      }
      if (errno != EEXIST) {
        why = Describe(errno);
        return false;
      }
    }
    why = Describe(EEXIST);
    return false;
  }

  bool Write(Handle file, std::string_view bytes, std::string& why) override {
    const int fd = static_cast<int>(file);
    while (!bytes.empty()) {
      const ssize_t written = ::write(fd, bytes.data(), bytes.size());
      if (written < 0) {
        if (errno == EINTR) {
          continue;
        }
        why = Describe(errno);
        return false;
      }
      // A short write (a full disk, a signal) goes on with the rest; the next call reports why.
      bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
  }

  bool Sync(Handle file, std::string& why) override {
    if (::fsync(static_cast<int>(file)) != 0) {
      why = Describe(errno);
      return false;
    }
    return true;
  }

  bool Close(Handle file, std::string& why) override {
    // Linux releases the descriptor even when close fails; never retry it.
    if (::close(static_cast<int>(file)) != 0) {
      why = Describe(errno);
      return false;
    }
    return true;
  }

  bool Replace(const std::string& from, const std::string& to, std::string& why) override {
    if (::rename(from.c_str(), to.c_str()) != 0) {
      why = Describe(errno);
      return false;
    }
    return true;
  }

  void Remove(const std::string& path) override { ::unlink(path.c_str()); }

 private:
  unsigned long next_number_ = 0;
};

}  // namespace

FileSystem& PlatformFileSystem() {
  static PosixFileSystem files;
  return files;
}

}  // namespace quorvane
