#include "app/posix/user_dirs.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>
#include <vector>

namespace quorvane {

namespace {

constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR";

std::string_view TrimSpace(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The value of a quoted assignment, escapes undone; the text unchanged when it is not quoted.
std::string Unquote(std::string_view value) {
  if (value.size() < 2 || value.front() != '"' || value.back() != '"') {
    return std::string(value);
  }
  value = value.substr(1, value.size() - 2);
  std::string text;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      ++i;
    }
    text += value[i];
  }
  return text;
}

}  // namespace

std::string DocumentsFolderFromUserDirs(std::string_view file_text, const std::string& home) {
  std::string folder;
  while (!file_text.empty()) {
    const auto end = file_text.find('\n');
    std::string_view line = TrimSpace(file_text.substr(0, end));
    file_text = end == std::string_view::npos ? std::string_view() : file_text.substr(end + 1);
    if (line.substr(0, kKey.size()) != kKey) {
      continue;
    }
    line = TrimSpace(line.substr(kKey.size()));
    if (line.empty() || line.front() != '=') {
      continue;
    }
    std::string value = Unquote(TrimSpace(line.substr(1)));
    if (value.find('\0') != std::string::npos) {
      continue;  // no folder name holds a zero byte: the line is damaged
    }
    if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/')) {
      value = home + value.substr(5);
    }
    folder = std::move(value);
  }
  return folder;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') {
    return home;
  }
  passwd entry{};
  passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr && found->pw_dir != nullptr) {
    return found->pw_dir;
  }
  return {};
}

std::string ConfigFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') {
    return config;
  }
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') {
    return std::string(home) + "/.config";
  }
  return {};
}

std::string UserDirsFilePath() {
  const std::string config = ConfigFolder();
  return config.empty() ? config : config + "/user-dirs.dirs";
}

}  // namespace quorvane
