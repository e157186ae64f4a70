// quorvane-probe: answers "is my simulator link working?" by opening the link, showing the
// server's version and taking one sample of the aircraft, as the window's status bar would.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

#include "app/program_version.h"
#include "app/version_text.h"
#include "link/link_module.h"
#include "sampling/aircraft_sampler.h"

int main(int argc, char** argv) {
  CLI::App app{
      "quorvane-probe: checks the link to the flight simulator (FSUIPC or WideClient).\n"
      "Prints the connection result, the FSUIPC version and one sample of the aircraft.\n"
      "Exits with 0 only when a sample was read."};
  app.set_version_flag("--version", std::string("quorvane-probe ") + quorvane::ProgramVersion(),
                       "print the version and exit");
  CLI11_PARSE(app, argc, argv);

  using namespace quorvane;
  LinkResult result = LinkResult::Okay;
  const bool opened = LinkOpen(0, result);
  std::printf("Connect: %s\n", LinkResultMessage(result));
  if (!opened) {
    return 1;
  }
  std::printf("%s\n", VersionText(ServerVersion()).c_str());

  std::string panel;
  AircraftSampler sampler(ProcessLink());
  const auto fix = sampler.SampleAircraft([&panel](const std::string& text) { panel = text; });
  std::printf("%s\n", panel.c_str());
  LinkClose();
  return fix ? 0 : 1;
}
