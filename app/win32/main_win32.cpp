// quorvane.exe: shows the flight simulator's aircraft in Google Earth.

#include <windows.h>

#include <string>
#include <vector>

#include "app/main_program.h"
#include "app/win32/command_line_text.h"
#include "app/win32/main_window_win32.h"
#include "app/win32/platform_services_win32.h"
#include "app/win32/win32_profile_file.h"
#include "app/window_layout.h"
#include "files/platform_files.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace quorvane;
  const CommandLine command = TakeCommandLine(
      std::vector<std::string>(__argv + 1, __argv + __argc), [](const std::string& why) {
        MessageBoxA(nullptr, layout::UserFolderBoxWarning(why).c_str(), layout::kCaption,
                    MB_OK | MB_ICONWARNING);
      });
  if (command.exit_status) {
    ShowCommandLineText(command.text, *command.exit_status != 0);
    return *command.exit_status;
  }

  Win32PlatformServices platform;
  Win32ProfileFiles settings_files(PlatformFileSystem());
  MainWindowWin32 window(instance);
  platform.SetOwner(window.Handle());
  MainProgram program({window, window, window.UpdateTimer(), window.RetryTimer(),
                       window.ChartTimer(), window.LiveTimer(), platform, settings_files,
                       [&window] { window.ProcessPendingMessages(); }},
                      command, __argv[0]);
  window.Attach(program.Form());
  program.Start();
  return window.Run();
}
