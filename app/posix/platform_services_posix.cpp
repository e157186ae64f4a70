#include "app/posix/platform_services_posix.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "app/posix/user_dirs.h"
#include "files/platform_files.h"
#include "files/publish_file.h"

extern char** environ;

namespace quorvane {

PosixPlatformServices::~PosixPlatformServices() {
  ReapFinishedOpeners();
  for (const int fd : kept_open_) {
    ::close(fd);
  }
}

std::string PosixPlatformServices::DocumentsFolder() {
  // A user-dirs file is a few hundred bytes. One that cannot be read whole (or a FIFO, which
  // would keep the program waiting) names no folder.
  constexpr std::size_t kMaxUserDirsSize = 1024 * 1024;
  std::string text;
  if (const std::string path = UserDirsFilePath(); !path.empty()) {
    std::string why;
    PlatformFileSystem().ReadWhole(path, kMaxUserDirsSize, text, why);
  }
  const std::string home = HomeFolder();
  const std::string folder = DocumentsFolderFromUserDirs(text, home);
  // As xdg-user-dir has it: with no Documents folder configured, the home folder is the one.
  return folder.empty() ? home : folder;
}

void PosixPlatformServices::OpenWithShell(const std::string& file, const std::string&,
                                          const std::string& working_folder, ShowMode) {
  ReapFinishedOpeners();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!working_folder.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, working_folder.c_str());
  }
  // xdg-open reports every browser it tried and did not find; that is not the user's business.
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  char program[] = "xdg-open";
  std::string argument = file;
  char* argv[] = {program, argument.data(), nullptr};
  pid_t pid = -1;
  // The outcome is not reported: a desktop without xdg-open or a ".kml" handler opens nothing.
  if (::posix_spawnp(&pid, program, &actions, nullptr, argv, environ) == 0) {
    openers_.push_back(pid);
  }
  posix_spawn_file_actions_destroy(&actions);
}

void PosixPlatformServices::ReapFinishedOpeners() {
  std::erase_if(openers_, [](pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) != 0; });
}

std::optional<std::string> PosixPlatformServices::ForegroundWindowTitle() {
  return X11ActiveWindowTitle();
}

void PosixPlatformServices::CreateKeptOpenFile(const std::string& path) {
  // A link planted at the name is not followed (its target would be emptied), nor is anything
  // but a plain file emptied; a FIFO is opened without waiting for a reader.
  const int fd = ::open(path.c_str(),
                        O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
  int error = 0;
  struct stat info {};
  if (fd < 0 || ::fstat(fd, &info) != 0) {
    error = errno;
  } else if (!S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
  } else if (::ftruncate(fd, 0) != 0) {
    error = errno;
  }
  if (error != 0) {
    if (fd >= 0) {
      ::close(fd);
    }
    throw FileSaveError(path, std::strerror(error));
  }
  kept_open_.push_back(fd);
}

}  // namespace quorvane
