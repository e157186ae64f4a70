#include "app/win32/platform_services_win32.h"

#include <shellapi.h>

#include <stdexcept>

namespace quorvane {

namespace {

constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

int ShowCommand(ShowMode mode) {
  switch (mode) {
    case ShowMode::Minimized:
      return SW_MINIMIZE;
    case ShowMode::Maximized:
      return SW_SHOWMAXIMIZED;
    case ShowMode::Hidden:
      return SW_HIDE;
    case ShowMode::Normal:
      break;
  }
  return SW_SHOWNORMAL;
}

}  // namespace

std::string SystemErrorText(DWORD error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message =
      length != 0 && text != nullptr ? std::string(text, length) : "Error " + std::to_string(error);
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  return message;
}

Win32PlatformServices::~Win32PlatformServices() {
  for (HANDLE file : kept_open_) {
    CloseHandle(file);
  }
}

std::string Win32PlatformServices::DocumentsFolder() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return {};
  }
  DWORD type = 0;
  DWORD size = 0;
  std::string folder;
  LONG status = RegQueryValueExA(key, "Personal", nullptr, &type, nullptr, &size);
  if (status == ERROR_SUCCESS) {
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
      RegCloseKey(key);
      throw std::runtime_error("Invalid data type for 'Personal'");
    }
    std::string value(size + 1, '\0');
    size = static_cast<DWORD>(value.size());
    status = RegQueryValueExA(key, "Personal", nullptr, &type,
                              reinterpret_cast<BYTE*>(value.data()), &size);
    if (status == ERROR_SUCCESS) {
      // Used exactly as stored, up to its terminating zero.
      folder = value.substr(0, value.find('\0'));
    }
  }
  RegCloseKey(key);
  return folder;
}

void Win32PlatformServices::OpenWithShell(const std::string& file, const std::string& parameters,
                                          const std::string& working_folder, ShowMode mode) {
  // No verb: the shell's default action for the file's type. The result is not reported.
  ShellExecuteA(owner_, nullptr, file.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
                working_folder.empty() ? nullptr : working_folder.c_str(), ShowCommand(mode));
}

std::optional<std::string> Win32PlatformServices::ForegroundWindowTitle() {
  HWND window = GetForegroundWindow();
  if (window == nullptr) {
    return std::nullopt;
  }
  const int length = GetWindowTextLengthA(window);
  char buffer[120] = {};
  GetWindowTextA(window, buffer, static_cast<int>(sizeof buffer));
  std::string title(buffer);
  if (length >= 0 && title.size() > static_cast<std::size_t>(length)) {
    title.resize(static_cast<std::size_t>(length));
  }
  return title;
}

void Win32PlatformServices::CreateKeptOpenFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    throw std::runtime_error("Cannot create file \"" + path + "\". " +
                             SystemErrorText(GetLastError()));
  }
  kept_open_.push_back(file);
}

}  // namespace quorvane
