// quorvane-probe run as a user would run it, against stand-ins for X-Plane and FlightGear that
// speak their public formats: found, named, followed; restarted, stopped, sending garbage.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "net/socket_services.h"
#include "tests/support/child_process.h"
#include "tests/support/sim_process.h"

namespace quorvane {
namespace {

using testing::ChildProcess;
using testing::PrivateRuntimeDir;
using testing::ReadLines;
using testing::RunProgram;
using testing::SimProcess;

// A UDP port free on the loopback address just now, so that tests running at once, and any
// simulator on this computer, never meet.
std::string FreePort() {
  net::SocketServices& sockets = net::PlatformSocketServices();
  std::string error;
  const auto socket = sockets.OpenUdp({net::kLoopbackAddress, 0}, error);
  net::Endpoint local;
  sockets.LocalEndpoint(socket, local);
  sockets.Close(socket);
  return std::to_string(local.port);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

const std::regex kSummary(R"(Lat: -?\d+\.\d{6}   Lon: -?\d+\.\d{6}   H: [ \d]{3}\d\.\d\d)");

class ProbeAgainstSimulators : public ::testing::Test {
 protected:
  // Runs the probe with only X-Plane on the test's port.
  testing::ProgramRun ProbeXPlane(std::vector<std::string> more = {}) {
    std::vector<std::string> arguments = {"--xplane-port", xplane_port_, "--flightgear-port", "0"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return RunProgram(QUORVANE_PROBE_PATH, arguments);
  }
  // Runs the probe with only FlightGear on the test's port.
  testing::ProgramRun ProbeFlightGear(std::vector<std::string> more = {}) {
    std::vector<std::string> arguments = {"--xplane-port", "0", "--flightgear-port",
                                          flightgear_port_};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return RunProgram(QUORVANE_PROBE_PATH, arguments);
  }
  // fake-xplane on the test's port; ready once listening.
  std::unique_ptr<ChildProcess> StartXPlane(std::vector<std::string> more = {}) {
    const std::string ready = runtime_.path() + "/xplane-ready-" + std::to_string(++started_);
    std::vector<std::string> arguments = {"--port", xplane_port_, "--ready-file", ready};
    arguments.insert(arguments.end(), more.begin(), more.end());
    auto xplane = std::make_unique<ChildProcess>(FAKE_XPLANE_PATH, arguments, runtime_.path());
    EXPECT_TRUE(testing::WaitFor([&] { return std::filesystem::exists(ready); }, 10000));
    return xplane;
  }
  std::unique_ptr<ChildProcess> StartFlightGear(std::vector<std::string> more = {}) {
    std::vector<std::string> arguments = {"--port", flightgear_port_};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return std::make_unique<ChildProcess>(FAKE_FLIGHTGEAR_PATH, arguments, runtime_.path());
  }

  PrivateRuntimeDir runtime_;  // no FSUIPC stand-in of another test is seen
  std::string xplane_port_ = FreePort();
  std::string flightgear_port_ = FreePort();
  int started_ = 0;
};

TEST_F(ProbeAgainstSimulators, FindsXPlaneNamesItsVersionAndEndsItsSubscriptions) {
  const std::string log = runtime_.path() + "/xplane.log";
  auto xplane = StartXPlane(
      {"--lat", "50.0875", "--lon", "14.421", "--heading", "90", "--magvar", "10", "--log", log});
  const auto run = ProbeXPlane();
  // 90 degrees true in FSUIPC's unit reads as 89.81 through the sampler, less 10 east.
  EXPECT_EQ(run.output,
            "Connect: Okay\n"
            "X-Plane 12.1.0\n"
            "Lat: 50.087500   Lon: 14.421000   H:   79.81\n");
  EXPECT_EQ(run.exit_status, 0);
  // The position and four subscriptions, then all five ended when the probe closed.
  std::vector<std::string> requests;
  for (const std::string& line : ReadLines(log)) {
    requests.push_back(line.substr(line.find(' ') + 1));
  }
  EXPECT_EQ(
      requests,
      (std::vector<std::string>{
          "RPOS 10", "RREF 5 4 sim/version/xplane_internal_version",
          "RREF 5 1 sim/flightmodel/position/true_psi", "RREF 5 2 sim/flightmodel/position/mag_psi",
          "RREF 5 3 sim/flightmodel/position/groundspeed", "RPOS 0",
          "RREF 0 4 sim/version/xplane_internal_version",
          "RREF 0 1 sim/flightmodel/position/true_psi", "RREF 0 2 sim/flightmodel/position/mag_psi",
          "RREF 0 3 sim/flightmodel/position/groundspeed"}));
}

TEST_F(ProbeAgainstSimulators, NamesXPlaneWithoutAVersionAndSurvivesLostSubscriptions) {
  auto xplane = StartXPlane({"--version", "0", "--ignore-subscriptions", "3"});
  const auto run = ProbeXPlane({"--wait", "5"});
  const std::vector<std::string> lines = Lines(run.output);
  ASSERT_EQ(lines.size(), 3u) << run.output;
  EXPECT_EQ(lines[0], "Connect: Okay");
  EXPECT_EQ(lines[1], "X-Plane");
  EXPECT_TRUE(std::regex_match(lines[2], kSummary)) << lines[2];
}

TEST_F(ProbeAgainstSimulators, FollowsFlightGearReplayingARealFlight) {
  auto flightgear =
      StartFlightGear({"--replay", QUORVANE_FLIGHTGEAR_RECORDING, "--version", "2020.3.16"});
  const auto run = ProbeFlightGear({"--samples", "3", "--interval", "0.5"});
  const std::vector<std::string> lines = Lines(run.output);
  ASSERT_EQ(lines.size(), 5u) << run.output;
  EXPECT_EQ(lines[0], "Connect: Okay");
  EXPECT_EQ(lines[1], "FlightGear 2020.3.16");
  // The recording starts at 21.3189 N, 157.9365 W, flying north.
  const std::regex near_honolulu(R"(Lat: 21\.3\d{5}   Lon: -157\.93\d{4}   H:  3\d\d\.\d\d)");
  for (int i = 2; i < 5; ++i) {
    EXPECT_TRUE(std::regex_match(lines[i], near_honolulu)) << lines[i];
  }
  EXPECT_LT(lines[2].substr(5, 9), lines[4].substr(5, 9)) << "the aircraft moved north";
  EXPECT_EQ(run.exit_status, 0);
}

TEST_F(ProbeAgainstSimulators, FsuipcComesFirst) {
  SimProcess sim({"--lat", "50.0875", "--lon", "14.421", "--heading", "5"});
  ASSERT_TRUE(sim.WaitUntilReady());
  auto flightgear = StartFlightGear();
  const auto run = ProbeFlightGear();
  EXPECT_EQ(run.output,
            "Connect: Okay\n"
            "FSUIPC Version: 3.622b\n"
            "Lat: 50.087500   Lon: 14.421000   H:    4.99\n");
}

TEST_F(ProbeAgainstSimulators, IgnoresGarbageAndOtherSenders) {
  {
    auto flightgear = StartFlightGear({"--only-garbage", "--rate", "50"});
    const auto run = ProbeFlightGear({"--wait", "1"});
    EXPECT_EQ(run.output, "Connect: Cannot link to FSUIPC or WideClient\n");
    EXPECT_NE(run.exit_status, 0);
  }
  {
    auto flightgear = StartFlightGear({"--garbage", "8", "--version", "2020.3.16"});
    const auto run = ProbeFlightGear({"--samples", "2", "--interval", "0.3"});
    const std::vector<std::string> lines = Lines(run.output);
    ASSERT_EQ(lines.size(), 4u) << run.output;
    EXPECT_EQ(lines[3], "Lat: 50.087500   Lon: 14.421000   H:   94.79");
  }
  {
    auto xplane = StartXPlane({"--garbage"});
    const auto run = ProbeXPlane({"--samples", "2", "--interval", "0.3"});
    EXPECT_EQ(Lines(run.output).size(), 4u) << run.output;
    EXPECT_EQ(run.exit_status, 0);
  }
  {
    // Datagrams from 127.0.0.2 while FlightGear is said to be at 127.0.0.1.
    auto flightgear = StartFlightGear({"--from", "127.0.0.2"});
    const auto run = ProbeFlightGear({"--flightgear-host", "127.0.0.1", "--wait", "1"});
    EXPECT_EQ(run.output, "Connect: Cannot link to FSUIPC or WideClient\n");
  }
  {
    auto xplane = StartXPlane({"--answer-from", "127.0.0.2"});
    const auto run = ProbeXPlane({"--wait", "1"});
    EXPECT_EQ(run.output, "Connect: Cannot link to FSUIPC or WideClient\n");
  }
}

TEST_F(ProbeAgainstSimulators, ASimulatorThatStopsFailsTheSampleClearly) {
  // Five lines (one second), then FlightGear is gone.
  auto flightgear = StartFlightGear({"--count", "5"});
  const auto run = ProbeFlightGear({"--samples", "6", "--interval", "1.2"});
  const std::vector<std::string> lines = Lines(run.output);
  ASSERT_EQ(lines.size(), 8u) << run.output;
  EXPECT_EQ(lines[1], "FlightGear");
  EXPECT_TRUE(std::regex_match(lines[2], kSummary)) << lines[2];
  EXPECT_EQ(lines[7], "Reading: FlightGear stopped sending");
  EXPECT_NE(run.exit_status, 0);
}

TEST_F(ProbeAgainstSimulators, FollowsASimulatorThatFreezesAndResumes) {
  // Silent from its fifth line (one second) for five seconds.
  auto flightgear = StartFlightGear({"--pause-after", "5", "--pause", "5"});
  const auto run = ProbeFlightGear({"--samples", "9", "--interval", "1"});
  const std::vector<std::string> lines = Lines(run.output);
  ASSERT_EQ(lines.size(), 11u) << run.output;
  EXPECT_TRUE(std::regex_match(lines[2], kSummary)) << lines[2];
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Reading: FlightGear stopped sending"),
            lines.end())
      << run.output;
  EXPECT_TRUE(std::regex_match(lines[10], kSummary)) << "resumed: " << lines[10];
}

TEST_F(ProbeAgainstSimulators, FollowsXPlaneRestartedWithoutSubscriptions) {
  const std::string log = runtime_.path() + "/second.log";
  auto xplane = StartXPlane();
  testing::ProgramRun run;
  std::thread probe([&] { run = ProbeXPlane({"--samples", "10", "--interval", "1"}); });
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  xplane.reset();  // killed
  std::this_thread::sleep_for(std::chrono::seconds(4));
  xplane = StartXPlane({"--log", log});  // a new X-Plane knows no subscriptions
  probe.join();
  const std::vector<std::string> lines = Lines(run.output);
  ASSERT_EQ(lines.size(), 12u) << run.output;
  EXPECT_TRUE(std::regex_match(lines[2], kSummary)) << lines[2];
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Reading: X-Plane stopped sending"), lines.end())
      << run.output;
  EXPECT_TRUE(std::regex_match(lines[11], kSummary)) << "resumed: " << lines[11];
  const std::vector<std::string> requests = ReadLines(log);
  ASSERT_FALSE(requests.empty());
  EXPECT_NE(requests.front().find("RPOS 10"), std::string::npos) << "subscribed again";
}

}  // namespace
}  // namespace quorvane
