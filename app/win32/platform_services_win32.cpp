#include "app/win32/platform_services_win32.h"

#include <shellapi.h>
#include <shlobj.h>

#include <stdexcept>

#include "files/publish_file.h"
#include "files/win32/system_error_text.h"

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

// FOLDERID_Documents, spelled out so that no GUID library is needed.
constexpr GUID kDocumentsFolderId = {
    0xFDD39AD0, 0x238F, 0x46AF, {0xAD, 0xB4, 0x6C, 0x85, 0x48, 0x03, 0x69, 0xC7}};

// The wide text in the program's 8-bit code page; empty when a character has no equivalent
// there (such a path could not be opened by its 8-bit name).
std::string AnsiText(const wchar_t* text) {
  BOOL lossy = FALSE;
  const int size =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr, &lossy);
  if (size <= 1 || lossy) {
    return {};
  }
  std::string converted(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, converted.data(), size, nullptr,
                      &lossy);
  converted.resize(static_cast<std::size_t>(size - 1));
  return lossy ? std::string() : converted;
}

// The shell's own Documents folder, where the registry names none; its short form when the long
// one has characters the 8-bit code page lacks. Empty when there is none.
std::string KnownDocumentsFolder() {
  wchar_t* path = nullptr;
  std::string folder;
  if (SUCCEEDED(SHGetKnownFolderPath(kDocumentsFolderId, 0, nullptr, &path)) && path != nullptr) {
    folder = AnsiText(path);
    if (folder.empty()) {
      wchar_t short_path[MAX_PATH] = {};
      const DWORD length = GetShortPathNameW(path, short_path, MAX_PATH);
      if (length > 0 && length < MAX_PATH) {
        folder = AnsiText(short_path);
      }
    }
  }
  CoTaskMemFree(path);
  return folder;
}

}  // namespace

Win32PlatformServices::~Win32PlatformServices() {
  for (HANDLE file : kept_open_) {
    CloseHandle(file);
  }
}

std::string Win32PlatformServices::DocumentsFolder() {
  std::string folder = RegistryDocumentsFolder();
  // A missing (or empty) value would put the files at the root of the current drive.
  return folder.empty() ? KnownDocumentsFolder() : folder;
}

std::string Win32PlatformServices::RegistryDocumentsFolder() {
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
  // A link (a reparse point) planted at the name is not followed: its target would be emptied.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    throw FileSaveError(path, SystemErrorText(ERROR_ACCESS_DENIED));
  }
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    throw FileSaveError(path, SystemErrorText(GetLastError()));
  }
  kept_open_.push_back(file);
}

}  // namespace quorvane
