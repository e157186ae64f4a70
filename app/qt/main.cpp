// quorvane: shows the flight simulator's aircraft in Google Earth.

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/main_program.h"
#include "app/posix/platform_services_posix.h"
#include "app/qt/main_window_qt.h"
#include "app/qt/qt_placement_window.h"
#include "app/qt/termination_signals.h"
#include "app/settings/ini_file.h"
#include "app/user_folder.h"
#include "app/window_layout.h"
#include "files/platform_files.h"
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
      TakeCommandLine(std::vector<std::string>(argv + 1, argv + argc), [](const std::string& why) {
        std::fputs(layout::UserFolderConsoleWarning(why).c_str(), stderr);
      });

  PosixPlatformServices platform;
  IniFiles settings_files(PlatformFileSystem());
  MainWindowQt window;
  QtPlacementWindow placement(window);
  MainProgram program({window, placement, window.UpdateTimer(), window.RetryTimer(),
                       window.ChartTimer(), window.LiveTimer(), platform, settings_files,
                       [&window] { window.ProcessEventsWhileWaiting(); }},
                      command, argv[0]);
  TForm1& form = program.Form();
  window.Attach(form);

  // A signal is handled wherever messages are processed, which may be during start-up, before
  // the event loop runs: the close handling then runs there, and the window never appears.
  TerminationSignals termination([&form] { form.OnTerminateRequested(); });
  program.Start();
  // A signal during start-up is handled here, before the window appears.
  termination.DeliverPending();
  int status = 0;
  if (!form.Closed()) {
    window.show();
    status = application.exec();
  }
  form.OnDestroy();
  return status;
}
