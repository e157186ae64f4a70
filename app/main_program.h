#pragma once

// The program's start-up, the same for every front-end: the command line, then the window's
// logic over the process's link and the run's files with its stored settings, created and shown
// before the toolkit's window appears.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/app_timer.h"
#include "app/command_line.h"
#include "app/connector_link.h"
#include "app/main_form.h"
#include "app/main_view.h"
#include "app/platform_services.h"
#include "app/settings/profile_file.h"
#include "app/settings/window_placement.h"
#include "app/status_log_view.h"
#include "kml/document_set.h"
#include "sources/simulator_addresses.h"
#include "sources/simulator_connector.h"

namespace quorvane {

// Parses the program's arguments (without its name). --help, --version and a malformed option
// of the program's own give an exit status and the text to show, and nothing else is done;
// otherwise --user-folder makes the user's own folder the working folder, and when that fails,
// `warn` is told why and the program goes on in the folder it was started from.
CommandLine TakeCommandLine(const std::vector<std::string>& arguments,
                            const std::function<void(const std::string& why)>& warn);

// What a front-end gives the program; everything must outlive it.
struct FrontEnd {
  MainView& view;              // the toolkit's window, as the logic sees it
  PlacementWindow& placement;  // the same window, as the stored settings see it
  TimerBackend& update_timer;  // drives TimerUpdateTime
  TimerBackend& retry_timer;   // drives Timer1
  TimerBackend& chart_timer;   // redraws the chart once a second
  TimerBackend& live_timer;    // drives LiveTimer, the live view's sampling
  PlatformServices& platform;
  ProfileFiles& settings_files;
  // Handles the window's events while the link waits for the server, so that a close is taken
  // at once and the window repaints.
  std::function<void()> while_link_waits;
};

// The running program: the main window's logic over the simulator connector (FSUIPC through the
// process's link services, else X-Plane or FlightGear over the platform's sockets) and the files
// of the run (DocumentSet: the documents, the route and the files kept beside them), and its
// stored settings, kept in a file in the working folder named after the program, whose
// [Simulators] section (under the command line's choices) says where X-Plane and FlightGear are
// looked for. The front-end connects its window's events to Form() once this is made.
class MainProgram {
 public:
  // command: the program's command line (its remaining arguments go to the window's logic, its
  // choices of simulators lie over the settings file's, its status log is kept); program_path:
  // the program as it was started (argv[0]), which names the settings file.
  MainProgram(FrontEnd front_end, const CommandLine& command, const std::string& program_path);
  // The link's waits no longer handle the window's events.
  ~MainProgram();
  MainProgram(const MainProgram&) = delete;
  MainProgram& operator=(const MainProgram&) = delete;

  TForm1& Form() { return form_; }

  // Creates and shows the window's logic: FormCreate (which connects and makes the first
  // update), then the stored settings and FormShow, all before the window is visible. Showing
  // runs even when a termination request ended start-up already: the settings are then saved
  // when the window is destroyed, as ever.
  void Start();

 private:
  // The front-end's window, with the status log when one was asked for.
  static MainView& ViewFor(MainView& window, std::optional<StatusLogView>& log,
                           const std::string& path);

  std::optional<StatusLogView> status_log_;
  CLocaleDecimalSeparator decimal_separator_;
  DocumentSet documents_;
  sources::SteadySourceClock source_clock_;
  sources::SimulatorConnector connector_;
  ConnectorLink simulator_;
  TForm1 form_;
};

}  // namespace quorvane
