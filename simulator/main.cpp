#include <cstdio>

#include "simulator/sim_endpoint.h"
#include "simulator/sim_options.h"
#include "simulator/simulator_core.h"

int main(int argc, char** argv) {
  using namespace quorvane::sim;
  ParsedCommandLine parsed = ParseSimCommandLine(argc, argv);
  std::fputs(parsed.output.c_str(), stdout);
  std::fputs(parsed.error.c_str(), stderr);
  if (!parsed.options) {
    return parsed.exit_status;
  }
  SimulatorCore core(*parsed.options);
  std::string error;
  if (!core.OpenLog(error)) {
    std::fprintf(stderr, "quorvane-sim: %s\n", error.c_str());
    return 1;
  }
  return RunEndpoint(core);
}
