#include <sys/stat.h>

#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "app/posix/user_dirs.h"
#include "app/user_folder.h"

namespace quorvane {

namespace {

// Creates every missing folder of the path. Folders of the user's configuration are private to
// the user (0700), as the XDG base directory rules ask of a configuration folder made for them.
bool MakeFolders(const std::string& path, std::string& error) {
  for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    const std::string folder = path.substr(0, end);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
      error = "cannot create " + folder + ": " + std::strerror(errno);
      return false;
    }
    if (end == std::string::npos) {
      return true;
    }
  }
}

}  // namespace

std::string UserFolderDescription() {
  return "$XDG_CONFIG_HOME/quorvane (by default ~/.config/quorvane)";
}

std::string EnterUserFolder() {
  const std::string config = ConfigFolder();
  if (config.empty()) {
    return "neither XDG_CONFIG_HOME nor HOME names the user's configuration folder";
  }
  const std::string folder = config + "/quorvane";
  std::string error;
  if (!MakeFolders(folder, error)) {
    return error;
  }
  // A file where the folder should be is found here: mkdir reports EEXIST for it as well.
  if (::chdir(folder.c_str()) != 0) {
    return "cannot enter " + folder + ": " + std::strerror(errno);
  }
  return {};
}

}  // namespace quorvane
