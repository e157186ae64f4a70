// quorvane-probe: answers "is my simulator link working?" by finding the simulator the way the
// program does (FSUIPC, then X-Plane, then FlightGear), showing what answered and taking samples
// of the aircraft, as the window's status bar would.

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "app/program_version.h"
#include "app/version_text.h"
#include "link/platform_link_services.h"
#include "net/socket_services.h"
#include "sampling/aircraft_sampler.h"
#include "sources/simulator_connector.h"
#include "sources/simulator_options.h"
#include "sources/simulator_sample.h"
#include "sources/source_report.h"

namespace {

using namespace quorvane;

// Why no network simulator answered, on the error output: what each source heard.
void ReportSources(const sources::SimulatorConnector& connector) {
  for (const sources::SourceStatus& source : connector.Sources()) {
    std::fprintf(stderr, "%s\n", sources::SourceReportLine(source).c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "quorvane-probe: checks the link to the flight simulator: FSUIPC (or WideClient), else\n"
      "X-Plane's UDP interface, else FlightGear's generic output (flightgear/Protocol/"
      "quorvane.xml).\n"
      "Prints the connection result, what answered and samples of the aircraft.\n"
      "Exits with 0 only when every sample was read."};
  app.set_version_flag("--version", std::string("quorvane-probe ") + quorvane::ProgramVersion(),
                       "print the version and exit");
  sources::SimulatorAddresses addresses;
  sources::AddSimulatorOptions(app, addresses);
  double wait_seconds = 2.0;
  app.add_option("--wait", wait_seconds,
                 "Seconds to wait for X-Plane or FlightGear to send when FSUIPC does not answer")
      ->check(CLI::Range(0.0, 60.0))
      ->capture_default_str();
  int samples = 1;
  app.add_option("--samples", samples, "Samples to take")
      ->check(CLI::Range(1, 100000))
      ->capture_default_str();
  double interval_seconds = 1.0;
  app.add_option("--interval", interval_seconds, "Seconds between samples")
      ->check(CLI::Range(0.0, 3600.0))
      ->capture_default_str();
  CLI11_PARSE(app, argc, argv);

  sources::SteadySourceClock clock;
  sources::SimulatorConnector connector(PlatformLinkServices(), net::PlatformSocketServices(),
                                        addresses, clock);
  LinkResult result = LinkResult::Okay;
  const auto wait = std::chrono::milliseconds(static_cast<long long>(wait_seconds * 1000.0));
  const bool opened = connector.Open(result, wait);
  std::printf("Connect: %s\n", LinkResultMessage(result));
  if (!opened) {
    std::fflush(stdout);
    ReportSources(connector);
    return 1;
  }
  std::printf("%s\n", connector.Answered() == sources::Simulator::Fsuipc
                          ? VersionText(connector.Link().ServerVersion()).c_str()
                          : connector.AnsweredText().c_str());

  AircraftSampler sampler(connector.Link());
  bool every_sample = true;
  const auto interval =
      std::chrono::milliseconds(static_cast<long long>(interval_seconds * 1000.0));
  auto next = std::chrono::steady_clock::now();
  for (int i = 0; i < samples; ++i) {
    if (i != 0) {
      next += interval;
      std::this_thread::sleep_until(next);
    }
    std::string panel;
    const auto fix = sources::SampleSimulator(connector, sampler,
                                              [&panel](const std::string& text) { panel = text; });
    every_sample &= fix.has_value();
    std::printf("%s\n", panel.c_str());
    std::fflush(stdout);
  }
  connector.Close();
  return every_sample ? 0 : 1;
}
