#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// The Documents folder named by the text of a user-dirs.dirs file: the last
// XDG_DOCUMENTS_DIR="..." line, with a leading "$HOME" replaced by home and the escapes \" and
// \\ undone; otherwise the value as it stands. Empty when the file names none.
std::string DocumentsFolderFromUserDirs(std::string_view file_text, const std::string& home);

// The user's home folder: $HOME, or when that is empty the one the user database names. Empty
// when neither is known.
std::string HomeFolder();

// The user's configuration folder: $XDG_CONFIG_HOME when that is an absolute path, else
// $HOME/.config. Empty when neither is known.
std::string ConfigFolder();

// Where the user's user-dirs.dirs file is: in $XDG_CONFIG_HOME when that is an absolute path,
// else in $HOME/.config. Empty when neither is known.
std::string UserDirsFilePath();

}  // namespace quorvane
