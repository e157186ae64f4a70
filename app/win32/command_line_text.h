#pragma once

#include <string>

namespace quorvane {

// Shows the text the command line asked for (the help, the version, or an error when `error`):
// written to standard output or standard error when the program was started with that one
// redirected to a file or a pipe, else in a message box.
void ShowCommandLineText(const std::string& text, bool error);

}  // namespace quorvane
