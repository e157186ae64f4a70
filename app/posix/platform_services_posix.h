#pragma once

#include <sys/types.h>

#include <vector>

#include "app/platform_services.h"

namespace quorvane {

// The desktop services on Linux and other POSIX desktops: the Documents folder from the user's
// user-dirs.dirs (the home folder when it names none, as xdg-user-dir has it), files opened with
// xdg-open, and the X11 active window's title.
class PosixPlatformServices final : public PlatformServices {
 public:
  PosixPlatformServices() = default;
  ~PosixPlatformServices() override;
  PosixPlatformServices(const PosixPlatformServices&) = delete;
  PosixPlatformServices& operator=(const PosixPlatformServices&) = delete;

  std::string DocumentsFolder() override;
  // Starts "xdg-open file" (an argument vector, never a shell) in working_folder. The
  // parameters and the show mode have no meaning for xdg-open and are not passed on.
  void OpenWithShell(const std::string& file, const std::string& parameters,
                     const std::string& working_folder, ShowMode mode) override;
  std::optional<std::string> ForegroundWindowTitle() override;
  // Never follows a link at path and never empties anything but a plain file.
  void CreateKeptOpenFile(const std::string& path) override;

 private:
  void ReapFinishedOpeners();

  std::vector<pid_t> openers_;
  std::vector<int> kept_open_;
};

// The title of the X11 display's active window (_NET_ACTIVE_WINDOW), or nothing without an X
// display, under a window manager that does not name one, or when it has no title.
std::optional<std::string> X11ActiveWindowTitle();

}  // namespace quorvane
