#include <shlobj.h>
#include <windows.h>

#include <string>

#include "app/user_folder.h"

namespace quorvane {

std::string UserFolderDescription() {
  return "%APPDATA%\\Quorvane";
}

std::string EnterUserFolder() {
  // Wide calls throughout: the folder lies in the user's profile, whose name may hold
  // characters outside the ANSI code page.
  wchar_t app_data[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                              SHGFP_TYPE_CURRENT, app_data))) {
    return "Windows names no application data folder (%APPDATA%) for this user";
  }
  const std::wstring folder = std::wstring(app_data) + L"\\Quorvane";
  if (!CreateDirectoryW(folder.c_str(), nullptr)) {
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS) {
      return "cannot create %APPDATA%\\Quorvane (Windows error " + std::to_string(error) + ")";
    }
  }
  if (!SetCurrentDirectoryW(folder.c_str())) {
    const DWORD error = GetLastError();
    return "cannot enter %APPDATA%\\Quorvane (Windows error " + std::to_string(error) + ")";
  }
  return {};
}

}  // namespace quorvane
