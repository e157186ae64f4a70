// quorvane: shows the flight simulator's aircraft in Google Earth.

#include <QApplication>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "app/posix/platform_services_posix.h"
#include "app/qt/main_window_qt.h"
#include "app/qt/qt_timer_backend.h"
#include "app/qt/termination_signals.h"
#include "kml/kml_documents.h"
#include "link/link_module.h"

int main(int argc, char** argv) {
  using namespace quorvane;
  // Without a display the window runs off-screen, so the program also works on a server.
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  const std::vector<std::string> arguments(argv + 1, argv + argc);

  PosixPlatformServices platform;
  CLocaleDecimalSeparator decimal_separator;
  MainWindowQt window;
  TForm1* form_pointer = nullptr;
  QtTimerBackend update_timer([&form_pointer] { form_pointer->OnUpdateTimerTick(); });
  QtTimerBackend retry_timer([&form_pointer] { form_pointer->OnRetryTimerTick(); });
  TForm1 form(FormContext{window, platform, decimal_separator, ProcessLink(), ProcessKmlDocuments(),
                          update_timer, retry_timer, arguments});
  form_pointer = &form;
  window.Attach(form);

  TerminationSignals termination([&form, &application] {
    form.OnTerminateRequested();
    application.quit();
  });

  form.OnCreate();
  window.show();
  return application.exec();
}
