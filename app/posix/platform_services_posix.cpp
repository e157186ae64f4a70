#include "app/posix/platform_services_posix.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "app/posix/user_dirs.h"

extern char** environ;

namespace quorvane {

PosixPlatformServices::~PosixPlatformServices() {
  ReapFinishedOpeners();
  for (std::FILE* file : kept_open_) {
    std::fclose(file);
  }
}

std::string PosixPlatformServices::DocumentsFolder() {
  const std::string path = UserDirsFilePath();
  if (path.empty()) {
    return {};
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return {};
  }
  // A user-dirs file is a few hundred bytes; a larger one is not read past 64 KiB.
  std::string text(64 * 1024, '\0');
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(file.gcount()));
  const char* home = std::getenv("HOME");
  return DocumentsFolderFromUserDirs(text, home != nullptr ? home : "");
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
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) {
    throw std::runtime_error("Cannot create file \"" + path + "\". " + std::strerror(errno));
  }
  kept_open_.push_back(file);
}

}  // namespace quorvane
