#include "app/command_line.h"

#include <CLI/CLI.hpp>
#include <sstream>

#include "app/program_version.h"
#include "sources/simulator_options.h"

namespace quorvane {

CommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                             const std::string& user_folder) {
  CLI::App app{
      "Quorvane shows the flight simulator's aircraft in Google Earth. It follows the aircraft\n"
      "through FSUIPC (or WideClient), X-Plane or FlightGear and writes letadlo.kml (the aircraft) "
      "and trasa.kml (the\n"
      "route flown) into your Documents folder.",
      "quorvane"};
  // Options of the window toolkit and arguments meant for older versions must never stop the
  // program: whatever is not ours is passed on untouched.
  app.allow_extras();
  app.set_help_flag("-h,--help", "print this help and exit");
  app.set_version_flag("--version", std::string("quorvane ") + ProgramVersion(),
                       "print the version and exit");
  CommandLine command;
  app.add_flag("--user-folder", command.user_folder,
               "run in your own folder, " + user_folder +
                   " (created when missing), which keeps the settings file quorvane.INI; "
                   "otherwise Quorvane runs in the folder it is started from");
  app.add_option("--status-log", command.status_log,
                 "append every text the status bar shows to FILE, one line each (the panel's "
                 "number, a tab, the text), for following Quorvane from elsewhere")
      ->option_text("FILE");
  sources::SimulatorAddresses simulators;
  sources::AddSimulatorOptions(app, simulators);
  app.footer(
      "Where no FSUIPC answers, Quorvane looks for X-Plane, then FlightGear, where the options\n"
      "above say, or else the section [Simulators] of quorvane.INI (keys XPlaneHost, XPlanePort,\n"
      "FlightGearAddress, FlightGearPort, FlightGearHost), or else the defaults shown.\n"
      "With the single argument D, Quorvane creates the empty file f:\\dyn.txt and keeps it\n"
      "open while it runs. Any other argument is ignored.");

  // CLI11 takes the arguments last first.
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = app.exit(error, out, err);
    command.exit_status = status == 0 ? 0 : 2;
    command.text = status == 0 ? out.str() : err.str();
    return command;
  }
  command.simulators = sources::GivenSimulatorOptions(app, simulators);
  command.remaining = app.remaining();
  return command;
}

}  // namespace quorvane
