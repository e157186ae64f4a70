// quorvane-probe run as a user would run it, against quorvane-sim.

#include <gtest/gtest.h>

#include "tests/support/sim_process.h"

namespace quorvane {
namespace {

using testing::PrivateRuntimeDir;
using testing::RunProgram;
using testing::SimProcess;

// FSUIPC only: no listening on this computer's X-Plane and FlightGear ports, which a simulator
// or another test run may be using (tests/e2e/sources_probe_test.cpp tries them on ports of
// their own).
const std::vector<std::string> kFsuipcOnly = {"--xplane-port", "0", "--flightgear-port", "0"};

TEST(Probe, ReportsConnectionVersionAndOneSample) {
  PrivateRuntimeDir runtime;
  SimProcess sim({"--lat", "50.0875", "--lon", "14.421", "--heading", "5"});
  ASSERT_TRUE(sim.WaitUntilReady());
  const auto run = RunProgram(QUORVANE_PROBE_PATH, kFsuipcOnly);
  EXPECT_EQ(run.output,
            "Connect: Okay\n"
            "FSUIPC Version: 3.622b\n"
            "Lat: 50.087500   Lon: 14.421000   H:    4.99\n")
      << "5 degrees true, stored in FSUIPC's unit, reads low through the client's divisor";
  EXPECT_EQ(run.exit_status, 0);
}

TEST(Probe, VersionIsPrintedWithoutTouchingTheLink) {
  PrivateRuntimeDir runtime;
  const auto run = RunProgram(QUORVANE_PROBE_PATH, {"--version"});
  EXPECT_EQ(run.output, "quorvane-probe " QUORVANE_VERSION "\n");
  EXPECT_EQ(run.exit_status, 0);
}

TEST(Probe, WithoutASimulatorSaysSoAndFails) {
  PrivateRuntimeDir runtime;
  const auto run = RunProgram(QUORVANE_PROBE_PATH, kFsuipcOnly);
  EXPECT_EQ(run.output, "Connect: Cannot link to FSUIPC or WideClient\n");
  EXPECT_NE(run.exit_status, 0);
}

TEST(Probe, ASampleThatFailsShowsTheFailureAndFails) {
  PrivateRuntimeDir runtime;
  // The handshake takes one exchange; the server then vanishes before the sample.
  SimProcess sim({"--exit-after", "1"});
  ASSERT_TRUE(sim.WaitUntilReady());
  const auto run = RunProgram(QUORVANE_PROBE_PATH, kFsuipcOnly);
  EXPECT_EQ(run.output,
            "Connect: Okay\n"
            "FSUIPC Version: 3.622b\n"
            "Processing: IPC sendmessage failed all retries\n");
  EXPECT_NE(run.exit_status, 0);
}

TEST(Probe, RefusesAServerWithoutTheSimulatorTag) {
  PrivateRuntimeDir runtime;
  SimProcess sim({"--version", "19980005", "--sim-word", "0x12340008"});
  ASSERT_TRUE(sim.WaitUntilReady());
  const auto run = RunProgram(QUORVANE_PROBE_PATH, kFsuipcOnly);
  EXPECT_EQ(run.output, "Connect: Incorrect version of FSUIPC, or not FSUIPC\n");
  EXPECT_NE(run.exit_status, 0);
}

TEST(Probe, SampleExchangesAsTheServerLogsThem) {
  PrivateRuntimeDir runtime;
  const std::string log = runtime.path() + "/exchanges.log";
  SimProcess sim({"--log", log});
  ASSERT_TRUE(sim.WaitUntilReady());
  ASSERT_EQ(RunProgram(QUORVANE_PROBE_PATH, kFsuipcOnly).exit_status, 0);
  std::vector<std::string> lengths;
  for (const std::string& line : testing::ReadLines(log)) {
    lengths.push_back(line.substr(0, line.find(' ')));
  }
  EXPECT_EQ(lengths, (std::vector<std::string>{"58", "24", "22", "28", "28", "24", "24", "28"}));
}

}  // namespace
}  // namespace quorvane
