// POSIX file operations for publishing files.

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <system_error>

#include "files/platform_files.h"
#include "files/temporary_name.h"

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
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string candidate = TemporaryName(target, ::getpid(), next_number_++);
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

  ReadResult ReadWhole(const std::string& path, std::size_t max_bytes, std::string& bytes,
                       std::string& why) override {
    bytes.clear();
    // Without blocking: opening a FIFO for reading would wait for a writer, for ever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
      why = Describe(errno);
      return errno == ENOENT ? ReadResult::kMissing : ReadResult::kUnreadable;
    }
    struct stat info {};
    ReadResult result = ReadResult::kRead;
    if (::fstat(fd, &info) != 0) {
      why = Describe(errno);
      result = ReadResult::kUnreadable;
    } else if (!S_ISREG(info.st_mode)) {
      why = Describe(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
      result = ReadResult::kUnreadable;
    }
    char buffer[65536];
    while (result == ReadResult::kRead) {
      const ssize_t count = ::read(fd, buffer, sizeof buffer);
      if (count < 0 && errno == EINTR) {
        continue;
      }
      if (count < 0) {
        why = Describe(errno);
        result = ReadResult::kUnreadable;
      } else if (count == 0) {
        break;
      } else if (bytes.size() + static_cast<std::size_t>(count) > max_bytes) {
        why = Describe(EFBIG);
        result = ReadResult::kUnreadable;
      } else {
        bytes.append(buffer, static_cast<std::size_t>(count));
      }
    }
    ::close(fd);
    if (result != ReadResult::kRead) {
      bytes.clear();
    }
    return result;
  }

  std::optional<std::chrono::system_clock::time_point> LastWriteTime(
      const std::string& path) override {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
      return std::nullopt;
    }
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::seconds(info.st_mtim.tv_sec) +
            std::chrono::nanoseconds(info.st_mtim.tv_nsec)));
  }

  bool CreateFolder(const std::string& path, std::string& why) override {
    if (::mkdir(path.c_str(), 0777) == 0) {
      return true;
    }
    const int error = errno;
    struct stat info {};
    if (error == EEXIST && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
      return true;
    }
    why = Describe(error == EEXIST ? ENOTDIR : error);
    return false;
  }

  bool RenameNew(const std::string& from, const std::string& to, std::string& why) override {
    // A second name for the file fails when `to` exists, in one step; the first name is then
    // dropped. File systems without links (FAT) fall back to checking first, then renaming.
    if (::link(from.c_str(), to.c_str()) == 0) {
      ::unlink(from.c_str());
      return true;
    }
    const int error = errno;
    if (error != EPERM && error != ENOTSUP && error != EOPNOTSUPP && error != EMLINK) {
      why = Describe(error);
      return false;
    }
    struct stat info {};
    if (::lstat(to.c_str(), &info) == 0) {
      why = Describe(EEXIST);
      return false;
    }
    return Replace(from, to, why);
  }

  int RemoveAbandonedTemporaries(const std::string& target) override {
    const auto slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    DIR* listing = ::opendir(folder.empty() ? "/" : folder.c_str());
    if (listing == nullptr) {
      return 0;
    }
    int removed = 0;
    while (const dirent* entry = ::readdir(listing)) {
      const auto owner = static_cast<pid_t>(TemporaryOwner(entry->d_name, base));
      if (owner <= 0 || owner == ::getpid()) {
        continue;
      }
      // Only this user's plain files, and only while no process of that id runs: a live
      // program may be writing it this very moment.
      struct stat info {};
      if (::fstatat(::dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
          !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        continue;
      }
      if (::kill(owner, 0) == 0 || errno != ESRCH) {
        continue;
      }
      if (::unlinkat(::dirfd(listing), entry->d_name, 0) == 0) {
        ++removed;
      }
    }
    ::closedir(listing);
    return removed;
  }

 private:
  unsigned long next_number_ = 0;
};

}  // namespace

FileSystem& PlatformFileSystem() {
  static PosixFileSystem files;
  return files;
}

}  // namespace quorvane
