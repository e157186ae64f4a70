#pragma once

#include <string>

namespace quorvane {

// The user's own folder for Quorvane, as the help text names it: "$XDG_CONFIG_HOME/quorvane"
// with its default on Linux, "%APPDATA%\Quorvane" on Windows.
std::string UserFolderDescription();

// Makes the user's own folder the working folder, creating it (and the folders above it) when
// missing, so that the settings file is kept there wherever the program was started from.
// Returns an empty text when it is done; otherwise why it failed, and the working folder is
// unchanged.
std::string EnterUserFolder();

}  // namespace quorvane
