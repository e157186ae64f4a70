#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sources/simulator_addresses.h"

namespace quorvane {

// What the program's command line asks for. The program's own options are taken out; every
// other argument stays, in its order, for the window's logic (which knows the one argument "D").
struct CommandLine {
  // Set when the program is to end at once with this status after showing `text`: --help and
  // --version end with 0 (the text is for standard output), a malformed option of the program's
  // own with 2 (the text is an error message).
  std::optional<int> exit_status;
  std::string text;
  // --user-folder: run in the user's own folder, so the settings file is kept there.
  bool user_folder = false;
  // Where X-Plane and FlightGear are looked for, as far as the command line says
  // (--xplane-host, --xplane-port, --flightgear-address, --flightgear-port, --flightgear-host):
  // laid over the settings file's [Simulators].
  sources::SimulatorChoices simulators;
  // --status-log FILE: every status-bar text is appended to FILE as well (empty: none).
  std::string status_log;
  // Every argument that is not one of the program's options, unchanged and in order.
  std::vector<std::string> remaining;
};

// Parses the arguments, without the program's name. Unknown options and other arguments are
// never an error: they stay in `remaining`. `user_folder` names the user's own folder in the help
// text (it differs from one platform to another).
CommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                             const std::string& user_folder);

}  // namespace quorvane
