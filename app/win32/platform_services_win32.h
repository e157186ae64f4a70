#pragma once

#include <windows.h>

#include <vector>

#include "app/platform_services.h"

namespace quorvane {

// The desktop services on Windows: the Documents folder from the registry value "Personal" (the
// shell's known Documents folder when the value is missing or empty), ShellExecuteA, and the
// foreground window's title.
class Win32PlatformServices final : public PlatformServices {
 public:
  Win32PlatformServices() = default;
  ~Win32PlatformServices() override;
  Win32PlatformServices(const Win32PlatformServices&) = delete;
  Win32PlatformServices& operator=(const Win32PlatformServices&) = delete;

  // The window that owns the shell's requests.
  void SetOwner(HWND owner) { owner_ = owner; }

  std::string DocumentsFolder() override;
  // The registry value "Personal" exactly as stored; empty when it is missing. Throws
  // std::runtime_error when it is not text.
  std::string RegistryDocumentsFolder();
  void OpenWithShell(const std::string& file, const std::string& parameters,
                     const std::string& working_folder, ShowMode mode) override;
  std::optional<std::string> ForegroundWindowTitle() override;
  void CreateKeptOpenFile(const std::string& path) override;

 private:
  HWND owner_ = nullptr;
  std::vector<HANDLE> kept_open_;
};

}  // namespace quorvane
