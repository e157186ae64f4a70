// quorvane.exe: shows the flight simulator's aircraft in Google Earth.

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/main_form.h"
#include "app/settings/main_window_settings.h"
#include "app/user_folder.h"
#include "app/win32/command_line_text.h"
#include "app/win32/main_window_win32.h"
#include "app/win32/platform_services_win32.h"
#include "app/win32/win32_profile_file.h"
#include "kml/kml_documents.h"
#include "kml/live_view_document.h"
#include "kml/platform_files.h"
#include "kml/track_recorder.h"
#include "link/link_module.h"
#include "link/platform_link_services.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace quorvane;
  const CommandLine command = ParseCommandLine(
      std::vector<std::string>(__argv + 1, __argv + __argc), UserFolderDescription());
  if (command.exit_status) {
    ShowCommandLineText(command.text, *command.exit_status != 0);
    return *command.exit_status;
  }
  if (command.user_folder) {
    const std::string error = EnterUserFolder();
    if (!error.empty()) {
      MessageBoxA(
          nullptr,
          ("Quorvane keeps its settings in the folder it was started from: " + error + ".").c_str(),
          "Quorvane", MB_OK | MB_ICONWARNING);
    }
  }
  const std::vector<std::string>& arguments = command.remaining;

  Win32PlatformServices platform;
  CLocaleDecimalSeparator decimal_separator;
  MainWindowWin32 window(instance);
  platform.SetOwner(window.Handle());
  LiveViewDocument live_view(PlatformFileSystem(), "");
  TrackRecorder track(PlatformFileSystem(), "");
  EarlierRuns earlier_runs(PlatformFileSystem());
  TForm1 form(FormContext{window, platform, decimal_separator, ProcessLink(), ProcessKmlDocuments(),
                          window.UpdateTimer(), window.RetryTimer(), arguments, live_view, track,
                          [] { return std::chrono::system_clock::now(); }, ProcessLinkInterrupt(),
                          earlier_runs});
  window.Attach(form);
  // Between the link's attempts the window still takes a close or the end of the session.
  ProcessLinkInterrupt().SetWhileWaiting([&window] { window.ProcessMessagesWhileWaiting(); });
  // The window's placement, interval and check boxes from one run to the next, in a settings
  // file in the working folder named after the program.
  Win32ProfileFiles settings_files;
  MainWindowSettings settings(form, window, settings_files, SettingsFileName(__argv[0]));

  form.OnCreate();
  // Showing restores the stored settings and then runs FormShow, before the window is visible.
  form.OnShow();
  const int status = window.Run();
  ProcessLinkInterrupt().SetWhileWaiting(nullptr);
  return status;
}
