// quorvane: shows the flight simulator's aircraft in Google Earth.

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/main_form.h"
#include "app/posix/platform_services_posix.h"
#include "app/qt/main_window_qt.h"
#include "app/qt/qt_placement_window.h"
#include "app/qt/qt_timer_backend.h"
#include "app/qt/termination_signals.h"
#include "app/settings/ini_file.h"
#include "app/settings/main_window_settings.h"
#include "app/user_folder.h"
#include "kml/kml_documents.h"
#include "kml/platform_files.h"
#include "link/link_module.h"
#include "link/platform_link_services.h"

int main(int argc, char** argv) {
  using namespace quorvane;
  // --help and --version are answered before the toolkit starts, so they need no display.
  const CommandLine early =
      ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), UserFolderDescription());
  if (early.exit_status) {
    std::fputs(early.text.c_str(), *early.exit_status == 0 ? stdout : stderr);
    return *early.exit_status;
  }
  CatchTerminationSignals(ProcessLinkInterrupt());
  // Without a display the window runs off-screen, so the program also works on a server.
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  // Desktops match the window with its menu entry and icon by these names (QUORVANE_APP_ID:
  // cmake/packaging.cmake).
  QGuiApplication::setDesktopFileName(QStringLiteral(QUORVANE_APP_ID));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("quorvane")));
  // The toolkit has taken its own options (-platform, -style, ...) out of argv by now.
  const CommandLine command =
      ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), UserFolderDescription());
  if (command.user_folder) {
    const std::string error = EnterUserFolder();
    if (!error.empty()) {
      std::fprintf(stderr, "quorvane: %s; the settings stay in the folder it was started from\n",
                   error.c_str());
    }
  }
  const std::vector<std::string>& arguments = command.remaining;

  PosixPlatformServices platform;
  CLocaleDecimalSeparator decimal_separator;
  MainWindowQt window;
  TForm1* form_pointer = nullptr;
  QtTimerBackend update_timer([&form_pointer] { form_pointer->OnUpdateTimerTick(); });
  QtTimerBackend retry_timer([&form_pointer] { form_pointer->OnRetryTimerTick(); });
  LiveViewDocument live_view(PlatformFileSystem(), "");
  TrackRecorder track(PlatformFileSystem(), "");
  EarlierRuns earlier_runs(PlatformFileSystem());
  TForm1 form(FormContext{window, platform, decimal_separator, ProcessLink(), ProcessKmlDocuments(),
                          update_timer, retry_timer, arguments, live_view, track,
                          [] { return std::chrono::system_clock::now(); }, ProcessLinkInterrupt(),
                          earlier_runs});
  form_pointer = &form;
  window.Attach(form);
  // While the link waits for a server, the window still takes a close (which ends the wait).
  ProcessLinkInterrupt().SetWhileWaiting([&window] { window.ProcessEventsWhileWaiting(); });
  // The window's placement, interval and check boxes from one run to the next, in a settings
  // file in the working folder named after the program.
  IniFiles settings_files(PlatformFileSystem());
  QtPlacementWindow placement(window);
  MainWindowSettings settings(form, placement, settings_files, SettingsFileName(argv[0]));

  // A signal is handled wherever messages are processed, which may be during start-up, before
  // the event loop runs: the close handling then runs there, and the window never appears.
  TerminationSignals termination([&form] { form.OnTerminateRequested(); });

  form.OnCreate();
  // Showing restores the stored settings and then runs FormShow, before the window is visible.
  // It runs even when a signal ended start-up already: the settings are then saved when the
  // window is destroyed, as ever.
  form.OnShow();
  // A signal during start-up is handled here, before the window appears.
  termination.DeliverPending();
  int status = 0;
  if (!form.Closed()) {
    window.show();
    status = application.exec();
  }
  ProcessLinkInterrupt().SetWhileWaiting(nullptr);
  form.OnDestroy();
  return status;
}
