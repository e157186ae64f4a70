#include "app/settings/profile_file.h"

namespace quorvane {

std::string SettingsFileName(const std::string& executable_path) {
  std::string name = executable_path.substr(executable_path.find_last_of("/\\") + 1);
  const auto dot = name.find_last_of('.');
  if (dot != std::string::npos) {
    name.erase(dot);
  }
  return "./" + name + ".INI";
}

}  // namespace quorvane
